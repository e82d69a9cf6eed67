// The operand kinds of the integer, logical and shift forms that carry values the disassembler
// check does not compare: shift amounts from tsz:imm3, compare and min/max immediates read by the
// row's signedness, indexed dot-product operands, and the expanded bitmask immediates.
#include <gtest/gtest.h>

#include <ostream>

#include "sve/decode/decode_rows.h"
#include "sve/decode/forms.h"

namespace {

// Encodings assembled with aarch64-linux-gnu-as; `operands` is what the row's layout extracts,
// in the layout's order (a kernel's result first, then its arguments).
struct LayoutCase {
    const char *text;
    uint32_t encoding;
    const char *operands;
};

std::ostream &operator<<(std::ostream &os, const LayoutCase &c) {
    return os << c.text;
}

// clang-format off
const LayoutCase kLayouts[] = {
    // Right shifts by immediate: 1..esize.
    {"asr z1.b, p3/m, z1.b, #1", 0x04008de1, "z1.b, p3/m, #1"},
    {"asr z1.b, p3/m, z1.b, #8", 0x04008d01, "z1.b, p3/m, #8"},
    {"lsr z1.h, p3/m, z1.h, #16", 0x04018e01, "z1.h, z1.h, p3/m, #16"},
    {"lsr z1.h, p3/m, z1.h, #5", 0x04018f61, "z1.h, z1.h, p3/m, #5"},
    {"asrd z1.s, p3/m, z1.s, #32", 0x04448c01, "z1.s, z1.s, p3/m, #32"},
    {"asr z1.s, p3/m, z1.s, #1", 0x04408fe1, "z1.s, p3/m, #1"},
    {"asr z1.d, p3/m, z1.d, #64", 0x04808c01, "z1.d, p3/m, #64"},
    {"lsr z1.d, p3/m, z1.d, #33", 0x04818fe1, "z1.d, z1.d, p3/m, #33"},
    {"asr z2.b, z9.b, #8", 0x04289122, "z2.b, z9.b, #8"},
    {"lsr z2.h, z9.h, #3", 0x043d9522, "z2.h, z9.h, #3"},
    {"asr z2.s, z9.s, #32", 0x04609122, "z2.s, z9.s, #32"},
    {"lsr z2.d, z9.d, #1", 0x04ff9522, "z2.d, z9.d, #1"},
    {"asr z2.d, z9.d, #64", 0x04a09122, "z2.d, z9.d, #64"},
    // Left shifts by immediate: 0..esize-1.
    {"lsl z1.b, p3/m, z1.b, #0", 0x04038d01, "z1.b, p3/m, #0"},
    {"lsl z1.b, p3/m, z1.b, #7", 0x04038de1, "z1.b, p3/m, #7"},
    {"lsl z1.h, p3/m, z1.h, #15", 0x04038fe1, "z1.h, p3/m, #15"},
    {"lsl z1.s, p3/m, z1.s, #17", 0x04438e21, "z1.s, p3/m, #17"},
    {"lsl z1.d, p3/m, z1.d, #63", 0x04c38fe1, "z1.d, p3/m, #63"},
    {"lsl z1.d, p3/m, z1.d, #0", 0x04838c01, "z1.d, p3/m, #0"},
    {"lsl z2.b, z9.b, #7", 0x042f9d22, "z2.b, z9.b, #7"},
    {"lsl z2.h, z9.h, #0", 0x04309d22, "z2.h, z9.h, #0"},
    {"lsl z2.s, z9.s, #31", 0x047f9d22, "z2.s, z9.s, #31"},
    {"lsl z2.d, z9.d, #40", 0x04e89d22, "z2.d, z9.d, #40"},
    // CMPGE and CMPHS share a kernel: signed imm5 for the one, unsigned imm7 for the other.
    {"cmpge p1.b, p2/z, z3.b, #-16", 0x25100861, "p1.b, p2/z, z3.b, #-16"},
    {"cmpge p1.h, p2/z, z3.h, #15", 0x254f0861, "p1.h, p2/z, z3.h, #15"},
    {"cmphs p1.s, p2/z, z3.s, #127", 0x24bfc861, "p1.s, p2/z, z3.s, #127"},
    {"cmphs p1.d, p2/z, z3.d, #0", 0x24e00861, "p1.d, p2/z, z3.d, #0"},
    {"cmpls p1.b, p2/z, z3.b, #100", 0x24392871, "p1.b, p2/z, z3.b, #100"},
    // Min/max immediates: signed for SMAX/SMIN, unsigned for UMAX/UMIN.
    {"smax z5.b, z5.b, #-128", 0x2528d005, "z5.b, z5.b, #-128"},
    {"smin z5.h, z5.h, #127", 0x256acfe5, "z5.h, z5.h, #127"},
    {"umax z5.s, z5.s, #255", 0x25a9dfe5, "z5.s, z5.s, #255"},
    {"umin z5.d, z5.d, #128", 0x25ebd005, "z5.d, z5.d, #128"},
    // Indexed dot products: Zm of 3 or 4 bits, the index above it; accumulator after the sources.
    {"sdot z0.s, z1.b, z7.b[3]", 0x44bf0020, "z0.s, z1.b, z7.b, z0.s, #3"},
    {"udot z0.s, z1.b, z2.b[0]", 0x44a20420, "z0.s, z1.b, z2.b, z0.s, #0"},
    {"sdot z0.d, z1.h, z15.h[1]", 0x44ff0020, "z0.d, z1.h, z15.h, z0.d, #1"},
    {"udot z0.d, z1.h, z3.h[0]", 0x44e30420, "z0.d, z1.h, z3.h, z0.d, #0"},
    // The Z operand of a bitmask immediate takes the immediate's element size.
    {"orr z4.b, z4.b, #0x81", 0x05000e24, "z4.b, #-9114861777597660799"},
    {"and z4.d, z4.d, #0x1", 0x05820004, "z4.d, #1"},
};
// clang-format on

class IntegerLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(IntegerLayoutTest, ExtractsTheAssembledOperands) {
    const LayoutCase &c = GetParam();
    const ostrel::DecodeRow *row = ostrel::find_decode_row(c.encoding);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->describe_operands(c.encoding), c.operands) << row->name;
}

INSTANTIATE_TEST_SUITE_P(Encodings, IntegerLayoutTest, ::testing::ValuesIn(kLayouts));

// Bitmask immediates: the 64-bit pattern the executors get and the element size the encoding
// names.
struct BitmaskCase {
    const char *text;
    uint32_t encoding;
    uint64_t pattern;
    uint32_t size_code;
};

std::ostream &operator<<(std::ostream &os, const BitmaskCase &c) {
    return os << c.text;
}

// clang-format off
const BitmaskCase kBitmasks[] = {
    // AND z0.d, z0.d, #0x000000ff000000ff assembles to the same word: the pattern repeats.
    {"and z4.s, z4.s, #0xff", 0x058000e4, 0x000000ff000000ff, 2},
    {"orr z4.b, z4.b, #0x81", 0x05000e24, 0x8181818181818181, 0},
    {"eor z4.h, z4.h, #0x7ffe", 0x05407da4, 0x7ffe7ffe7ffe7ffe, 1},
    {"dupm z4.d, #0xfffffffffffffffe", 0x05c3ffc4, 0xfffffffffffffffe, 3},
    {"dupm z4.s, #0x80000000", 0x05c00804, 0x8000000080000000, 2},
    {"and z4.b, z4.b, #0x55 (2-bit elements)", 0x05800784, 0x5555555555555555, 0},
    {"and z4.d, z4.d, #0x1", 0x05820004, 0x0000000000000001, 3},
};
// clang-format on

class BitmaskImmTest : public ::testing::TestWithParam<BitmaskCase> {};

TEST_P(BitmaskImmTest, ExpandsToTheRepeatedPattern) {
    const BitmaskCase &c = GetParam();
    using namespace ostrel::decode;
    const RowInfo row{3, false};
    EXPECT_EQ(BitmaskImm::operand(c.encoding, row).value, c.pattern);
    EXPECT_EQ(ostrel::plain_type(ZBitmask<0>::operand(c.encoding, row)), c.size_code);
    // Zdn of AND/ORR/EOR is read-write: its size code sits in the other packing.
    EXPECT_EQ(ostrel::read_write_type(ZBitmask<0, RW>::operand(c.encoding, row)), c.size_code);
}

INSTANTIATE_TEST_SUITE_P(Encodings, BitmaskImmTest, ::testing::ValuesIn(kBitmasks));

TEST(DecodeBitMasks, UnallocatedFieldsGiveNoElementSize) {
    // N = 0 with imms = 0b111111 names no element size; an element of all ones is reserved.
    EXPECT_EQ(ostrel::decode_bit_masks(0, 0, 0x3f).esize, 0u);
    EXPECT_EQ(ostrel::decode_bit_masks(1, 0, 0x3f).esize, 0u);
    EXPECT_EQ(ostrel::decode_bit_masks(0, 0, 0x1f).esize, 0u); // 32-bit elements of all ones
    EXPECT_EQ(ostrel::decode_bit_masks(0, 0, 0x3d).esize, 0u); // 2-bit elements of all ones
    EXPECT_EQ(ostrel::decode_bit_masks(0, 0, 0x3c).esize, 2u); // 2-bit element 01
    EXPECT_EQ(ostrel::decode_bit_masks(0, 0, 0x3c).pattern, 0x5555555555555555u);
}

TEST(DecodeBitMasks, RotatesInsideTheElement) {
    // 16-bit elements (imms = 0b10xxxx), three ones rotated right by 2: 0xc001.
    EXPECT_EQ(ostrel::decode_bit_masks(0, 2, 0x22).pattern, 0xc001c001c001c001u);
    // 64-bit element, one one rotated right by 1: the top bit.
    EXPECT_EQ(ostrel::decode_bit_masks(1, 1, 0).pattern, 0x8000000000000000u);
}

} // namespace
