// The non-fault and first-fault loads next to an unreadable page, where the emulator's rules
// differ from the reference's: the fixed-length executors leave elements they did not load as they
// were and record them per element (non-fault) or from the first element past the first page
// (first-fault); the kernels zero them and clear the FFR from the first faulting element; no
// first-fault load ends the process, whichever element faults. Expected elements and FFR bits are
// written out by hand, one letter per element. Some cases run at other vector lengths: the page
// probe and the FFR follow the length, and nothing past it changes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/guest_memory.h"
#include "tests/support/register_file.h"
#include "tests/support/vector_length_scope.h"

using namespace ostrel::testing;

namespace {

// L loaded from memory, Z zero, O the old value; FFR: 1 kept, 0 cleared (it starts all ones).
struct SpeculativeCase {
    const char *what;
    uint32_t encoding; // z0 destination, p0 governing, x1 base, x2 index (0)
    unsigned esize, msize;
    unsigned bytes_before_hole;
    std::string inactive; // '.' active, 'i' inactive, per element; empty: all active
    std::string elements;
    std::string ffr;
    unsigned bits = ostrel::kDefaultVectorBits;
};

std::string run(std::initializer_list<std::pair<char, unsigned>> parts) {
    std::string s;
    for (const auto &p : parts)
        s.append(p.second, p.first);
    return s;
}

constexpr uint32_t kLdnf1d = 0xa5f0a020; // ldnf1d {z0.d}, p0/z, [x1]
constexpr uint32_t kLdnf1w = 0xa550a020; // ldnf1w {z0.s}, p0/z, [x1]
constexpr uint32_t kLdff1w = 0xa5426020; // ldff1w {z0.s}, p0/z, [x1, x2, lsl #2] (executor)
constexpr uint32_t kLdff1d = 0xa5e26020; // ldff1d {z0.d}, p0/z, [x1, x2, lsl #3] (executor)
constexpr uint32_t kLdff1h = 0xa4a26020; // ldff1h {z0.h}, p0/z, [x1, x2, lsl #1] (kernel)
constexpr uint64_t kOld = 0x5a5a5a5a5a5a5a5aull;

const SpeculativeCase kCases[] = {
    {"LDNF1D 64 bytes before the hole", kLdnf1d, 8, 8, 64, "", run({{'L', 8}, {'O', 16}}),
     run({{'1', 8}, {'0', 16}})},
    {"LDNF1D leaves inactive elements' FFR alone", kLdnf1d, 8, 8, 64,
     run({{'.', 8}, {'i', 8}, {'.', 8}}), run({{'L', 8}, {'Z', 8}, {'O', 8}}),
     run({{'1', 16}, {'0', 8}})},
    {"LDNF1W whose first element straddles the hole", kLdnf1w, 4, 4, 2, "", run({{'O', 48}}),
     run({{'0', 48}})},
    {"LDFF1W 100 bytes before the hole", kLdff1w, 4, 4, 100, "", run({{'L', 25}, {'O', 23}}),
     run({{'1', 25}, {'0', 23}})},
    {"LDFF1W clears from the first element past the page, active or not", kLdff1w, 4, 4, 100,
     run({{'.', 25}, {'i', 2}, {'.', 21}}), run({{'L', 25}, {'O', 23}}),
     run({{'1', 25}, {'0', 23}})},
    {"LDFF1W 2 bytes before the hole completes", kLdff1w, 4, 4, 2, "", run({{'O', 48}}),
     run({{'0', 48}})},
    {"LDFF1D ending exactly at the hole loads everything", kLdff1d, 8, 8, 192, "", run({{'L', 24}}),
     run({{'1', 24}})},
    {"LDFF1H kernel 6 bytes before the hole", kLdff1h, 2, 2, 6, "", run({{'L', 3}, {'Z', 93}}),
     run({{'1', 3}, {'0', 93}})},
    {"LDFF1H kernel whose first active element faults", kLdff1h, 2, 2, 6,
     run({{'i', 5}, {'.', 91}}), run({{'Z', 96}}), run({{'1', 5}, {'0', 91}})},
    {"LDFF1D at 128 bits 8 bytes before the hole", kLdff1d, 8, 8, 8, "", "LO", "10", 128},
    {"LDFF1D at 128 bits ending exactly at the hole", kLdff1d, 8, 8, 16, "", "LL", "11", 128},
    {"LDNF1D at 256 bits 16 bytes before the hole", kLdnf1d, 8, 8, 16, "", "LLOO", "1100", 256},
    {"LDFF1W at 2048 bits 100 bytes before the hole", kLdff1w, 4, 4, 100, "",
     run({{'L', 25}, {'O', 39}}), run({{'1', 25}, {'0', 39}}), 2048},
    {"LDFF1W at 2048 bits 256 bytes before the hole loads everything", kLdff1w, 4, 4, 256, "",
     run({{'L', 64}}), run({{'1', 64}}), 2048},
    {"LDFF1H kernel at 512 bits 6 bytes before the hole", kLdff1h, 2, 2, 6, "",
     run({{'L', 3}, {'Z', 29}}), run({{'1', 3}, {'0', 29}}), 512},
};

class SpeculativeLoads : public ::testing::TestWithParam<SpeculativeCase> {};

TEST_P(SpeculativeLoads, FollowTheEmulatorsRulesNextToAHole) {
    const SpeculativeCase &c = GetParam();
    SCOPED_TRACE(c.what);
    const ScopedVectorLength length(c.bits);
    const unsigned bytes = c.bits / 8, n = bytes / c.esize;
    ASSERT_EQ(c.elements.size(), n);
    ASSERT_EQ(c.ffr.size(), n);
    PagesBeforeHole memory(1, Hole::Unmapped);
    for (std::size_t i = 0; i < memory.bytes(); ++i)
        memory.page()[i] = static_cast<char>(i * 7 + 1);
    const uint64_t base = memory.hole() - c.bytes_before_hole;

    auto s = random_state(c.encoding);
    s->x[1] = base;
    s->x[2] = 0;
    for (unsigned i = 0; i < n; ++i)
        set_z_element(*s, 0, c.esize, i, kOld);
    std::memset(s->ffr, 1, sizeof s->ffr);
    std::memset(s->p[0], 0, sizeof s->p[0]);
    for (unsigned i = 0; i < n; ++i)
        s->p[0][i * c.esize] = c.inactive.empty() || c.inactive[i] == '.';
    const cpu_state before = *s;

    ASSERT_EQ(emulate(*s, c.encoding), DECODE_OK);
    for (unsigned b = bytes; b < ostrel::kMaxVectorBytes; ++b) {
        ASSERT_EQ(s->z[0][b], before.z[0][b]) << "Z0 byte " << b << ", past the length";
        ASSERT_EQ(s->ffr[b], before.ffr[b]) << "FFR byte " << b << ", past the length";
    }
    for (unsigned i = 0; i < n; ++i) {
        uint64_t want = 0;
        if (c.elements[i] == 'O') want = low_bits(kOld, c.esize);
        if (c.elements[i] == 'L')
            std::memcpy(&want, reinterpret_cast<const void *>(base + i * c.msize), c.msize);
        EXPECT_EQ(z_element(*s, 0, c.esize, i), want) << "element " << i;
        for (unsigned b = 0; b < c.esize; ++b)
            EXPECT_EQ(s->ffr[i * c.esize + b], c.ffr[i] - '0') << "FFR of element " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(All, SpeculativeLoads, ::testing::ValuesIn(kCases));

} // namespace
