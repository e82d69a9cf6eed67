// Shifts whose amount differs from element to element: by vector, reversed, and by the 64-bit
// element of Zm that shares the shifted element's 64-bit segment. Every element is active.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "tests/integer/sve_state_support.h"

using namespace sve_test;

namespace {

// Zdn (or Zn) element i holds value(i); Zm element j (zm_esize bytes) holds amount(j).
struct AmountCase {
    const char *text;
    uint32_t encoding;
    unsigned esize, zm_esize;
    uint64_t (*value)(unsigned i);
    uint64_t (*amount)(unsigned j);
    uint64_t (*expected)(unsigned i);
};

std::ostream &operator<<(std::ostream &os, const AmountCase &c) {
    return os << c.text;
}

// Element i of a narrow size lies in 64-bit segment i * esize / 8.
const AmountCase kCases[] = {
    {"lsl z1.b, p3/m, z1.b, z3.b", 0x04138c61, 1, 1, [](unsigned) -> uint64_t { return 1; },
     [](unsigned j) -> uint64_t { return j; },
     [](unsigned i) -> uint64_t { return i < 8 ? uint64_t{1} << i : 0; }},
    {"asrr z1.s, p3/m, z1.s, z3.s", 0x04948c61, 4, 4, [](unsigned i) -> uint64_t { return i; },
     [](unsigned) -> uint64_t { return 0x80000000; },
     // -2^31 / 2^i, rounded down, as a 32-bit pattern; the sign fill from 31 on.
     [](unsigned i) -> uint64_t {
         return i >= 31 ? 0xffffffff : (0xffffffff << (31 - i)) & 0xffffffff;
     }},
    {"lsr z1.b, z2.b, z3.d", 0x04238441, 1, 8, [](unsigned) -> uint64_t { return 0xff; },
     [](unsigned j) -> uint64_t { return j; },
     [](unsigned i) -> uint64_t { return i / 8 < 8 ? 0xffu >> (i / 8) : 0; }},
    {"lsl z1.h, p3/m, z1.h, z3.d", 0x045b8c61, 2, 8, [](unsigned) -> uint64_t { return 1; },
     [](unsigned j) -> uint64_t { return 5 * j; },
     [](unsigned i) -> uint64_t { return 5 * (i / 4) < 16 ? uint64_t{1} << (5 * (i / 4)) : 0; }},
    {"asr z1.b, p3/m, z1.b, z3.d", 0x04188c61, 1, 8, [](unsigned) -> uint64_t { return 0x80; },
     [](unsigned j) -> uint64_t { return j; },
     [](unsigned i) -> uint64_t { return i / 8 >= 7 ? 0xff : (0xff << (7 - i / 8)) & 0xff; }},
};

class ShiftAmountTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(ShiftAmountTest, EachElementUsesItsOwnAmount) {
    const AmountCase &c = GetParam();
    // Predicated forms (bit 21 clear) are destructive with Zm at bits 9..5; unpredicated ones
    // name Zn at bits 9..5 and Zm at bits 20..16.
    const uint32_t zd = c.encoding & 31;
    const bool predicated = (c.encoding >> 21 & 1) == 0;
    const uint32_t zn = predicated ? zd : c.encoding >> 5 & 31;
    const uint32_t zm = predicated ? c.encoding >> 5 & 31 : c.encoding >> 16 & 31;

    auto state = garbage_state(c.encoding, kPc);
    for (unsigned i = 0; i < ostrel::kVectorBytes / c.esize; ++i)
        set_z_element(*state, zn, c.esize, i, c.value(i));
    for (unsigned j = 0; j < ostrel::kVectorBytes / c.zm_esize; ++j)
        set_z_element(*state, zm, c.zm_esize, j, c.amount(j));
    std::memset(state->p[3], 1, ostrel::kVectorBytes);

    ASSERT_EQ(run(state.get(), c.encoding), DECODE_OK);
    for (unsigned i = 0; i < ostrel::kVectorBytes / c.esize; ++i)
        EXPECT_EQ(z_element(*state, zd, c.esize, i), c.expected(i)) << "element " << i;
}

INSTANTIATE_TEST_SUITE_P(Rows, ShiftAmountTest, ::testing::ValuesIn(kCases));

} // namespace
