// Compares and minimum/maximum: which NaNs signal, signed zeros, flushed operands.
#include "tests/fplib/fplib_test_support.h"

namespace ostrel::fplib::test {
namespace {

constexpr uint32_t kOne = 0x3f800000, kQNaN = 0x7fc00001, kSNaN = 0x7f800001, kZero = 0,
                   kNegZero = 0x80000000, kNegInf = 0xff800000;

struct CompareRow {
    const char *what;
    bool (*op)(uint32_t, uint32_t, FPSCR &);
    uint32_t fpcr, a, b;
    bool expected;
    int flags;
};

TEST(Compare, Predicates) {
    const CompareRow rows[] = {
        {"qNaN == qNaN", FPCompareEQ<uint32_t>, RN, kQNaN, kQNaN, false, 0},
        {"sNaN == 1", FPCompareEQ<uint32_t>, RN, kSNaN, kOne, false, IOC},
        {"qNaN >= 1 signals", FPCompareGE<uint32_t>, RN, kQNaN, kOne, false, IOC},
        {"-0 >= +0", FPCompareGE<uint32_t>, RN, kNegZero, kZero, true, 0},
        {"+0 >= -0", FPCompareGE<uint32_t>, RN, kZero, kNegZero, true, 0},
        {"-0 > +0", FPCompareGT<uint32_t>, RN, kNegZero, kZero, false, 0},
        {"+0 > -0", FPCompareGT<uint32_t>, RN, kZero, kNegZero, false, 0},
        {"-2 > -3", FPCompareGT<uint32_t>, RN, 0xc0000000, 0xc0400000, true, 0},
        {"-1.5 > -1.25", FPCompareGT<uint32_t>, RN, 0xbfc00000, 0xbfa00000, false, 0},
        {"denormals equal under FZ", FPCompareEQ<uint32_t>, FZ, 0x00000001, 0x80000002, true, IDC},
        {"denormals differ without FZ", FPCompareEQ<uint32_t>, RN, 0x00000001, 0x80000002, false,
         0},
        {"unordered, quiet", FPCompareUN<uint32_t>, RN, kOne, kQNaN, true, 0},
        {"unordered, signalling", FPCompareUN<uint32_t>, RN, kSNaN, kOne, true, IOC},
    };
    for (const CompareRow &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(r.op(r.a, r.b, fpscr), r.expected) << r.what;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << r.what;
    }
}

TEST(Compare, Nzcv) {
    FPSCR fpscr = RN;
    EXPECT_EQ(FPCompare<uint32_t>(kOne, 0x40000000, false, fpscr), 8);
    EXPECT_EQ(FPCompare<uint32_t>(0x40000000, kOne, false, fpscr), 2);
    EXPECT_EQ(FPCompare<uint32_t>(kNegZero, kZero, false, fpscr), 6);
    EXPECT_EQ(FPCompare<uint32_t>(kQNaN, kOne, false, fpscr), 3);
    EXPECT_EQ(fpscr, RN);
    EXPECT_EQ(FPCompare<uint32_t>(kQNaN, kOne, true, fpscr), 3);
    EXPECT_EQ(new_flags(fpscr, RN), IOC);
}

TEST(MinMax, ChoicesAndNaNs) {
    using MinMax32 = uint32_t (*)(uint32_t, uint32_t, FPSCR &);
    struct MinMaxRow {
        const char *what;
        MinMax32 op;
        uint32_t fpcr, a, b, expected;
        int flags;
    };
    const MinMaxRow rows[] = {
        {"max(+0, -0)", FPMax<uint32_t>, RN, kZero, kNegZero, kZero, 0},
        {"max(-0, +0)", FPMax<uint32_t>, RN, kNegZero, kZero, kZero, 0},
        {"min(+0, -0)", FPMin<uint32_t>, RN, kZero, kNegZero, kNegZero, 0},
        {"max(-1, -2)", FPMax<uint32_t>, RN, 0xbf800000, 0xc0000000, 0xbf800000, 0},
        {"min(-1, -2)", FPMin<uint32_t>, RN, 0xbf800000, 0xc0000000, 0xc0000000, 0},
        {"max(qNaN, 1)", FPMax<uint32_t>, RN, kQNaN, kOne, kQNaN, 0},
        {"max(qNaN, 1) under DN", FPMax<uint32_t>, DN, kQNaN, kOne, 0x7fc00000, 0},
        {"maxnum(qNaN, 1)", FPMaxNum<uint32_t>, RN, kQNaN, kOne, kOne, 0},
        {"maxnum(qNaN, sNaN)", FPMaxNum<uint32_t>, RN, kQNaN, kSNaN, 0x7fc00001, IOC},
        {"maxnum(-inf, qNaN)", FPMaxNum<uint32_t>, RN, kNegInf, kQNaN, kNegInf, 0},
        {"minnum(+0, -0)", FPMinNum<uint32_t>, RN, kZero, kNegZero, kNegZero, 0},
        {"minnum(qNaN, qNaN)", FPMinNum<uint32_t>, RN, 0x7fc00002, kQNaN, 0x7fc00002, 0},
        {"max of a flushed denormal", FPMax<uint32_t>, FZ, 0x00000010, 0x80000000, kZero, IDC},
    };
    for (const MinMaxRow &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(r.op(r.a, r.b, fpscr), r.expected) << r.what;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << r.what;
    }
}

} // namespace
} // namespace ostrel::fplib::test
