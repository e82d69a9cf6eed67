// Contiguous and structure accesses that run into an inaccessible page with the elements there
// inactive: they must neither fault nor touch the hole, load the active elements, zero the
// inactive ones and leave memory of inactive elements as it was. The random cases of the oracle
// hardly ever put an access next to a hole, and these are the accesses that move whole blocks
// when the whole access is in one page.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/guest_memory.h"
#include "tests/support/register_file.h"
#include "tests/support/vector_length_scope.h"

using namespace ostrel::testing;

namespace {

// Every access: z0 (and z1) the data, p0 governing, x1 the base.
struct HoleCase {
    const char *what;
    uint32_t encoding;
    unsigned esize;   // element bytes, memory and register alike
    unsigned members; // registers of a structure access, 1 for LD1/ST1
    bool store;
    unsigned active; // leading active elements; the rest are inactive
    unsigned bytes_before_hole;
    unsigned bits = ostrel::kDefaultVectorBits;
};

const HoleCase kCases[] = {
    {"LD1D, 8 of 24 active, 64 bytes before the hole", 0xa5e0a020, 8, 1, false, 8, 64},
    {"LD1D, all active, ending at the hole", 0xa5e0a020, 8, 1, false, 24, 192},
    {"LD1B, 100 of 192 active, 100 bytes before the hole", 0xa400a020, 1, 1, false, 100, 100},
    {"LD1B at 2048 bits, 3 of 256 active", 0xa400a020, 1, 1, false, 3, 3, 2048},
    {"LD2D, 4 of 24 structures active, 64 bytes before the hole", 0xa5a0e020, 8, 2, false, 4, 64},
    {"LD2D at 128 bits, 1 of 2 structures active", 0xa5a0e020, 8, 2, false, 1, 16, 128},
    {"ST1D, 8 of 24 active, 64 bytes before the hole", 0xe5e0e020, 8, 1, true, 8, 64},
    {"ST1D, all active, ending at the hole", 0xe5e0e020, 8, 1, true, 24, 192},
    {"ST1D at 2048 bits, 31 of 32 active", 0xe5e0e020, 8, 1, true, 31, 248, 2048},
};

class ContiguousNextToAHole : public ::testing::TestWithParam<HoleCase> {};

TEST_P(ContiguousNextToAHole, TouchesOnlyActiveElements) {
    const HoleCase &c = GetParam();
    SCOPED_TRACE(c.what);
    const ScopedVectorLength length(c.bits);
    const unsigned n = c.bits / 8 / c.esize;
    PagesBeforeHole memory(1, Hole::NoAccess);
    for (std::size_t i = 0; i < memory.bytes(); ++i)
        memory.page()[i] = static_cast<char>(i * 7 + 1);
    const std::string before(memory.page(), memory.bytes());
    const uint64_t base = memory.hole() - c.bytes_before_hole;

    auto s = random_state(c.encoding);
    s->x[1] = base;
    std::memset(s->p[0], 0, sizeof s->p[0]);
    for (unsigned i = 0; i < c.active; ++i)
        s->p[0][i * c.esize] = 1;
    const cpu_state old = *s;

    ASSERT_EQ(emulate(*s, c.encoding), DECODE_OK);
    const uint64_t page = reinterpret_cast<uint64_t>(memory.page());
    for (unsigned i = 0; i < n; ++i) {
        for (unsigned r = 0; r < c.members; ++r) {
            const uint64_t at = base + (uint64_t{i} * c.members + r) * c.esize;
            const bool active = i < c.active;
            if (c.store) {
                if (at >= memory.hole()) continue;
                const uint64_t want =
                    active
                        ? z_element(old, r, c.esize, i)
                        : low_bits(*reinterpret_cast<const uint64_t *>(before.data() + (at - page)),
                                   c.esize);
                uint64_t got = 0;
                std::memcpy(&got, reinterpret_cast<const void *>(at), c.esize);
                EXPECT_EQ(got, want) << "memory of element " << i;
            } else {
                uint64_t want = 0;
                if (active) std::memcpy(&want, reinterpret_cast<const void *>(at), c.esize);
                EXPECT_EQ(z_element(*s, r, c.esize, i), want)
                    << "element " << i << " of member " << r;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, ContiguousNextToAHole, ::testing::ValuesIn(kCases));

} // namespace
