// The integer arithmetic rows through their decode functions, at the edges a random sweep rarely
// reaches: division by zero and the most negative value divided by -1, the high half of extreme
// products, saturation limits, wrap-around of products and dot products, and which source a
// multiply-add takes its addend from. Every register holds one value in all its elements; the
// expected values are worked out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "tests/arith/arith_state.h"

using namespace sve_test;

namespace {

// z1 is the destination (and first source of the destructive forms), z2 and z3 the other
// sources; p1 governs the predicated forms, its even elements active.
struct VectorCase {
    const char *text;
    uint32_t encoding;
    unsigned esize;     // bytes of a z1 element
    unsigned src_esize; // bytes of a z2 and z3 element (a quarter of esize for dot products)
    bool predicated;
    uint64_t z1, z2, z3; // each register's value, in every element
    uint64_t expected;   // z1's active elements afterwards (all of them when unpredicated)
};

std::ostream &operator<<(std::ostream &os, const VectorCase &c) {
    return os << c.text;
}

constexpr uint64_t kMinS64 = 0x8000000000000000, kMaxS64 = 0x7fffffffffffffff;
constexpr uint64_t kAll64 = ~uint64_t{0};

// clang-format off
const VectorCase kCases[] = {
    // Division: truncation toward zero, zero divisors, the most negative value over -1.
    {"sdiv z1.s, p1/m, z1.s, z2.s", 0x04940441, 4, 4, true, 0x80000000, 0xffffffff, 0, 0x80000000},
    {"sdiv z1.d, p1/m, z1.d, z2.d", 0x04d40441, 8, 8, true, kMinS64, kAll64, 0, kMinS64},
    {"sdiv z1.s, p1/m, z1.s, z2.s", 0x04940441, 4, 4, true, 0xfffffff9, 2, 0, 0xfffffffd},
    {"sdiv z1.s, p1/m, z1.s, z2.s", 0x04940441, 4, 4, true, 7, 0, 0, 0},
    {"sdiv z1.d, p1/m, z1.d, z2.d", 0x04d40441, 8, 8, true, kMinS64, 0, 0, 0},
    {"sdiv z1.d, p1/m, z1.d, z2.d", 0x04d40441, 8, 8, true, 100, 0xfffffffffffffff9, 0, 0xfffffffffffffff2},
    {"udiv z1.s, p1/m, z1.s, z2.s", 0x04950441, 4, 4, true, 0xffffffff, 0, 0, 0},
    {"udiv z1.s, p1/m, z1.s, z2.s", 0x04950441, 4, 4, true, 0xffffffff, 2, 0, 0x7fffffff},
    {"udiv z1.d, p1/m, z1.d, z2.d", 0x04d50441, 8, 8, true, kAll64, 0x10, 0, 0x0fffffffffffffff},
    {"udiv z1.d, p1/m, z1.d, z2.d", 0x04d50441, 8, 8, true, kMinS64, kAll64, 0, 0},
    {"sdivr z1.s, p1/m, z1.s, z2.s", 0x04960441, 4, 4, true, 2, 0xfffffff9, 0, 0xfffffffd},
    {"sdivr z1.s, p1/m, z1.s, z2.s", 0x04960441, 4, 4, true, 0xffffffff, 0x80000000, 0, 0x80000000},
    {"sdivr z1.d, p1/m, z1.d, z2.d", 0x04d60441, 8, 8, true, 0, 12345, 0, 0},
    {"udivr z1.s, p1/m, z1.s, z2.s", 0x04970441, 4, 4, true, 3, 10, 0, 3},
    {"udivr z1.d, p1/m, z1.d, z2.d", 0x04d70441, 8, 8, true, kAll64, 5, 0, 0},
    {"udivr z1.d, p1/m, z1.d, z2.d", 0x04d70441, 8, 8, true, 0, kAll64, 0, 0},
    // Products keep their low half.
    {"mul z1.b, p1/m, z1.b, z2.b", 0x04100441, 1, 1, true, 16, 16, 0, 0},
    {"mul z1.b, p1/m, z1.b, z2.b", 0x04100441, 1, 1, true, 0x80, 0xff, 0, 0x80},
    {"mul z1.h, p1/m, z1.h, z2.h", 0x04500441, 2, 2, true, 0xffff, 0xffff, 0, 1},
    {"mul z1.d, p1/m, z1.d, z2.d", 0x04d00441, 8, 8, true, 0x100000000, 0x100000001, 0, 0x100000000},
    {"mul z1.b, z1.b, #-3", 0x2530dfa1, 1, 1, false, 0x55, 0, 0, 0x01},
    {"mul z1.h, z1.h, #-128", 0x2570d001, 2, 2, false, 3, 0, 0, 0xfe80},
    {"mul z1.d, z1.d, #127", 0x25f0cfe1, 8, 8, false, kAll64, 0, 0, 0xffffffffffffff81},
    // The high half of the exact product.
    {"smulh z1.b, p1/m, z1.b, z2.b", 0x04120441, 1, 1, true, 0x80, 0x7f, 0, 0xc0},
    {"umulh z1.b, p1/m, z1.b, z2.b", 0x04130441, 1, 1, true, 0xff, 0xff, 0, 0xfe},
    {"umulh z1.h, p1/m, z1.h, z2.h", 0x04530441, 2, 2, true, 0xffff, 2, 0, 1},
    {"smulh z1.s, p1/m, z1.s, z2.s", 0x04920441, 4, 4, true, 0x80000000, 0x80000000, 0, 0x40000000},
    {"smulh z1.s, p1/m, z1.s, z2.s", 0x04920441, 4, 4, true, 0xffffffff, 1, 0, 0xffffffff},
    {"umulh z1.d, p1/m, z1.d, z2.d", 0x04d30441, 8, 8, true, kAll64, kAll64, 0, 0xfffffffffffffffe},
    {"smulh z1.d, p1/m, z1.d, z2.d", 0x04d20441, 8, 8, true, kMinS64, kMinS64, 0, 0x4000000000000000},
    {"smulh z1.d, p1/m, z1.d, z2.d", 0x04d20441, 8, 8, true, kAll64, kAll64, 0, 0},
    {"smulh z1.d, p1/m, z1.d, z2.d", 0x04d20441, 8, 8, true, kMaxS64, kMinS64, 0, 0xc000000000000000},
    // Minimum and maximum read the elements by signedness.
    {"smax z1.b, p1/m, z1.b, z2.b", 0x04080441, 1, 1, true, 0x80, 0x7f, 0, 0x7f},
    {"umax z1.b, p1/m, z1.b, z2.b", 0x04090441, 1, 1, true, 0x80, 0x7f, 0, 0x80},
    {"smin z1.d, p1/m, z1.d, z2.d", 0x04ca0441, 8, 8, true, kMinS64, 1, 0, kMinS64},
    {"umin z1.d, p1/m, z1.d, z2.d", 0x04cb0441, 8, 8, true, kMinS64, 1, 0, 1},
    {"smax z1.h, z1.h, #-100", 0x2568d381, 2, 2, false, 0xff00, 0, 0, 0xff9c},
    {"smax z1.h, z1.h, #-100", 0x2568d381, 2, 2, false, 0x0005, 0, 0, 0x0005},
    {"umax z1.s, z1.s, #200", 0x25a9d901, 4, 4, false, 199, 0, 0, 200},
    {"umax z1.s, z1.s, #200", 0x25a9d901, 4, 4, false, 0xffffff00, 0, 0, 0xffffff00},
    {"smin z1.b, z1.b, #-128", 0x252ad001, 1, 1, false, 0x7f, 0, 0, 0x80},
    {"umin z1.d, z1.d, #255", 0x25ebdfe1, 8, 8, false, kMinS64, 0, 0, 255},
    // Reversed subtract of an immediate: its low esize bits.
    {"subr z1.b, z1.b, #5", 0x2523c0a1, 1, 1, false, 6, 0, 0, 0xff},
    {"subr z1.d, z1.d, #255, lsl #8", 0x25e3ffe1, 8, 8, false, 0x10000, 0, 0, 0xffffffffffffff00},
    // Multiply-add: MLA/MLS accumulate into z1 from z2 * z3; MAD/MSB take the addend from z3
    // and multiply z1 by z2.
    {"mla z1.b, p1/m, z2.b, z3.b", 0x04034441, 1, 1, true, 1, 16, 16, 1},
    {"mla z1.b, p1/m, z2.b, z3.b", 0x04034441, 1, 1, true, 3, 5, 7, 38},
    {"mls z1.h, p1/m, z2.h, z3.h", 0x04436441, 2, 2, true, 0, 0xffff, 0xffff, 0xffff},
    {"mls z1.h, p1/m, z2.h, z3.h", 0x04436441, 2, 2, true, 100, 3, 7, 79},
    {"mad z1.s, p1/m, z2.s, z3.s", 0x0482c461, 4, 4, true, 0x10000, 0x10000, 5, 5},
    {"mad z1.s, p1/m, z2.s, z3.s", 0x0482c461, 4, 4, true, 3, 7, 100, 121},
    {"msb z1.d, p1/m, z2.d, z3.d", 0x04c2e461, 8, 8, true, 3, 4, 10, 0xfffffffffffffffe},
    {"msb z1.d, p1/m, z2.d, z3.d", 0x04c2e461, 8, 8, true, 3, 4, 100, 88},
    // Saturating add and subtract clamp at the element's range and touch no flag.
    {"sqadd z1.b, z2.b, z3.b", 0x04231041, 1, 1, false, 0x11, 0x7f, 0x01, 0x7f},
    {"sqadd z1.b, z2.b, z3.b", 0x04231041, 1, 1, false, 0x11, 0x80, 0xff, 0x80},
    {"sqadd z1.b, z2.b, z3.b", 0x04231041, 1, 1, false, 0x11, 0x80, 0x7f, 0xff},
    {"uqadd z1.b, z2.b, z3.b", 0x04231441, 1, 1, false, 0x11, 0xff, 0x01, 0xff},
    {"uqadd z1.b, z2.b, z3.b", 0x04231441, 1, 1, false, 0x11, 0x80, 0x7f, 0xff},
    {"sqsub z1.h, z2.h, z3.h", 0x04631841, 2, 2, false, 0x11, 0x8000, 0x0001, 0x8000},
    {"sqsub z1.h, z2.h, z3.h", 0x04631841, 2, 2, false, 0x11, 0x7fff, 0xffff, 0x7fff},
    {"uqsub z1.s, z2.s, z3.s", 0x04a31c41, 4, 4, false, 0x11, 0, 1, 0},
    {"sqadd z1.d, z2.d, z3.d", 0x04e31041, 8, 8, false, 0x11, kMaxS64, 1, kMaxS64},
    {"sqadd z1.d, z2.d, z3.d", 0x04e31041, 8, 8, false, 0x11, kMinS64, kAll64, kMinS64},
    {"uqsub z1.d, z2.d, z3.d", 0x04e31c41, 8, 8, false, 0x11, 5, 6, 0},
    {"uqsub z1.d, z2.d, z3.d", 0x04e31c41, 8, 8, false, 0x11, kAll64, 1, 0xfffffffffffffffe},
    // With an immediate, which is unsigned and joins the element's number uncut.
    {"sqadd z1.b, z1.b, #255", 0x2524dfe1, 1, 1, false, 0x80, 0, 0, 0x7f},
    {"sqadd z1.b, z1.b, #255", 0x2524dfe1, 1, 1, false, 0x81, 0, 0, 0x7f},
    {"sqadd z1.b, z1.b, #255", 0x2524dfe1, 1, 1, false, 0x90, 0, 0, 0x7f},
    {"sqadd z1.b, z1.b, #255", 0x2524dfe1, 1, 1, false, 0x7f, 0, 0, 0x7f},
    {"uqadd z1.b, z1.b, #1", 0x2525c021, 1, 1, false, 0xff, 0, 0, 0xff},
    {"sqsub z1.h, z1.h, #255, lsl #8", 0x2566ffe1, 2, 2, false, 0x7fff, 0, 0, 0x80ff},
    {"sqsub z1.h, z1.h, #255, lsl #8", 0x2566ffe1, 2, 2, false, 0x7f00, 0, 0, 0x8000},
    {"sqsub z1.h, z1.h, #255, lsl #8", 0x2566ffe1, 2, 2, false, 0x7eff, 0, 0, 0x8000},
    {"sqsub z1.h, z1.h, #255, lsl #8", 0x2566ffe1, 2, 2, false, 0x0000, 0, 0, 0x8000},
    {"uqsub z1.s, z1.s, #1", 0x25a7c021, 4, 4, false, 0, 0, 0, 0},
    {"sqadd z1.d, z1.d, #1", 0x25e4c021, 8, 8, false, kMaxS64, 0, 0, kMaxS64},
    {"uqsub z1.d, z1.d, #255, lsl #8", 0x25e7ffe1, 8, 8, false, 0xff01, 0, 0, 1},
    {"uqsub z1.d, z1.d, #255, lsl #8", 0x25e7ffe1, 8, 8, false, 0xfeff, 0, 0, 0},
    // Dot products wrap at the accumulator's width.
    {"sdot z1.s, z2.b, z3.b", 0x44830041, 4, 1, false, 0x7fffffff, 0x80, 0x80, 0x8000ffff},
    {"sdot z1.s, z2.b, z3.b", 0x44830041, 4, 1, false, 0, 0x80, 0x7f, 0xffff0200},
    {"udot z1.s, z2.b, z3.b", 0x44830441, 4, 1, false, 0xffffffff, 0xff, 0xff, 0x3f803},
    {"sdot z1.d, z2.h, z3.h", 0x44c30041, 8, 2, false, 0xffffffff00000000, 0x8000, 0x8000, 0},
    {"udot z1.d, z2.h, z3.h", 0x44c30441, 8, 2, false, 0, 0xffff, 0xffff, 0x3fff80004},
    {"udot z1.d, z2.h, z3.h", 0x44c30441, 8, 2, false, kAll64, 0xffff, 0xffff, 0x3fff80003},
    {"sdot z1.s, z2.b, z3.b[2]", 0x44b30041, 4, 1, false, 5, 0xff, 0x02, 0xfffffffd},
    {"udot z1.s, z2.b, z3.b[2]", 0x44b30441, 4, 1, false, 5, 0xff, 0x02, 0x7fd},
    {"sdot z1.d, z2.h, z3.h[1]", 0x44f30041, 8, 2, false, 0, 0xffff, 0x8000, 0x20000},
    {"udot z1.d, z2.h, z3.h[1]", 0x44f30441, 8, 2, false, 0, 0xffff, 0x8000, 0x1fffe0000},
};
// clang-format on

class ArithValueTest : public ::testing::TestWithParam<VectorCase> {};

TEST_P(ArithValueTest, GivesTheWorkedValue) {
    const VectorCase &c = GetParam();
    auto state = arith_test::random_arith_state(c.encoding ^ static_cast<uint32_t>(c.z1));
    fill_z_elements(*state, 1, c.esize, c.z1);
    fill_z_elements(*state, 2, c.src_esize, c.z2);
    fill_z_elements(*state, 3, c.src_esize, c.z3);
    const unsigned elements = ostrel::kVectorBytes / c.esize;
    // Only the first byte of an element governs it; the others stay random.
    for (unsigned i = 0; i < elements; ++i)
        state->p[1][i * c.esize] =
            static_cast<uint8_t>((state->p[1][i * c.esize] & 0xfe) | (i % 2 == 0));

    cpu_state expected;
    std::memcpy(&expected, state.get(), sizeof expected);
    for (unsigned i = 0; i < elements; ++i)
        if (!c.predicated || i % 2 == 0) set_z_element(expected, 1, c.esize, i, c.expected);

    ASSERT_EQ(run(state.get(), c.encoding), DECODE_OK);
    expected.encoding = state->encoding; // only the executor road records it
    EXPECT_EQ(state_difference(*state, expected), "");
}

INSTANTIATE_TEST_SUITE_P(Edges, ArithValueTest, ::testing::ValuesIn(kCases));

// The indexed dot product takes its Zm group from the 128-bit segment of each accumulator
// element. With z2's narrow elements all 1 and z3's narrow element j equal to j, accumulator
// element i gains the sum of four consecutive j starting at the group's first element.
TEST(IndexedDotProduct, EachSegmentUsesItsOwnGroup) {
    auto state = arith_test::random_arith_state(77);
    for (unsigned j = 0; j < ostrel::kVectorBytes; ++j) {
        state->z[2][j] = 1;
        state->z[3][j] = static_cast<uint8_t>(j);
    }
    auto before = *state;
    // udot z1.s, z2.b, z3.b[2]: segment s = i / 4 holds bytes 16s..16s+15, group 2 starts at
    // 16s + 8, so the sum is 4 * (16s + 8) + 6.
    ASSERT_EQ(run(state.get(), 0x44b30441), DECODE_OK);
    for (unsigned i = 0; i < 48; ++i) {
        const uint64_t s = i / 4;
        EXPECT_EQ(z_element(*state, 1, 4, i),
                  (z_element(before, 1, 4, i) + 64 * s + 38) & 0xffffffff)
            << "element " << i;
    }
    // sdot z1.s, z2.b, z3.b[2] with z2 all -1: bytes from 128 up read as j - 256.
    std::memset(state->z[2], 0xff, ostrel::kVectorBytes);
    before = *state;
    ASSERT_EQ(run(state.get(), 0x44b30041), DECODE_OK);
    for (unsigned i = 0; i < 48; ++i) {
        const int64_t s = i / 4;
        const int64_t sum = s < 8 ? 64 * s + 38 : 64 * s + 38 - 4 * 256;
        EXPECT_EQ(z_element(*state, 1, 4, i), (z_element(before, 1, 4, i) - sum) & 0xffffffff)
            << "element " << i;
    }
    // udot z1.d, z2.h, z3.h[1] with halfword j equal to j: segment s = i / 2 holds halfwords
    // 8s..8s+7, group 1 starts at 8s + 4, so the sum is 4 * (8s + 4) + 6.
    for (unsigned j = 0; j < 96; ++j) {
        set_z_element(*state, 2, 2, j, 1);
        set_z_element(*state, 3, 2, j, j);
    }
    before = *state;
    ASSERT_EQ(run(state.get(), 0x44f30441), DECODE_OK);
    for (unsigned i = 0; i < 24; ++i)
        EXPECT_EQ(z_element(*state, 1, 8, i), z_element(before, 1, 8, i) + 32 * (i / 2) + 22)
            << "element " << i;
}

// A destination that is also a source is read with its old value.
TEST(MultiplyAdd, SourceAlsoDestinationReadsTheOldValue) {
    auto state = arith_test::random_arith_state(5);
    fill_z_elements(*state, 1, 2, 3);
    std::memset(state->p[1], 1, ostrel::kVectorBytes);
    // mla z1.h, p1/m, z1.h, z1.h: 3 + 3 * 3.
    ASSERT_EQ(run(state.get(), 0x04414421), DECODE_OK);
    for (unsigned i = 0; i < 96; ++i)
        ASSERT_EQ(z_element(*state, 1, 2, i), 12u) << i;
    // mad z1.h, p1/m, z1.h, z1.h: 12 + 12 * 12.
    ASSERT_EQ(run(state.get(), 0x0441c421), DECODE_OK);
    for (unsigned i = 0; i < 96; ++i)
        ASSERT_EQ(z_element(*state, 1, 2, i), 156u) << i;
}

} // namespace
