// Arithmetic corners: signed zeros by rounding mode, invalid operations, division by zero,
// square roots of negative and flushed values, the single rounding of the fused multiply-add.
#include "tests/fplib/fplib_test_support.h"

namespace ostrel::fplib::test {
namespace {

using Binary32 = uint32_t (*)(uint32_t, uint32_t, FPSCR &);

struct BinaryRow {
    const char *what;
    Binary32 op;
    uint32_t fpcr, a, b, expected;
    int flags;
};

constexpr uint32_t kOne = 0x3f800000, kNegOne = 0xbf800000, kInf = 0x7f800000, kNegInf = 0xff800000,
                   kZero = 0, kNegZero = 0x80000000, kDefaultNaN = 0x7fc00000;

TEST(Arithmetic, SingleCorners) {
    const BinaryRow rows[] = {
        {"+0 + -0", FPAdd<uint32_t>, RN, kZero, kNegZero, kZero, 0},
        {"+0 + -0 (RP)", FPAdd<uint32_t>, RP, kZero, kNegZero, kZero, 0},
        {"+0 + -0 (RZ)", FPAdd<uint32_t>, RZ, kZero, kNegZero, kZero, 0},
        {"+0 + -0 (RM)", FPAdd<uint32_t>, RM, kZero, kNegZero, kNegZero, 0},
        {"-0 + -0 (RP)", FPAdd<uint32_t>, RP, kNegZero, kNegZero, kNegZero, 0},
        {"x - x", FPSub<uint32_t>, RN, 0x40490fdb, 0x40490fdb, kZero, 0},
        {"x - x (RM)", FPSub<uint32_t>, RM, 0x40490fdb, 0x40490fdb, kNegZero, 0},
        {"inf - inf", FPSub<uint32_t>, RN, kInf, kInf, kDefaultNaN, IOC},
        {"inf + inf", FPAdd<uint32_t>, RN, kInf, kInf, kInf, 0},
        {"1 + 2^-24: tie to even", FPAdd<uint32_t>, RN, kOne, 0x33800000, kOne, IXC},
        {"1 + 3 x 2^-24: tie to even, up", FPAdd<uint32_t>, RN, 0x3f800001, 0x33800000, 0x3f800002,
         IXC},
        {"sNaN op2 of a subtraction keeps its sign", FPSub<uint32_t>, RN, kOne, 0xff800001,
         0xffc00001, IOC},
        {"qNaN op1, sNaN op2: op2 wins", FPAdd<uint32_t>, RN, 0x7fc00005, 0x7f800003, 0x7fc00003,
         IOC},
        {"sNaN under DN", FPMul<uint32_t>, DN, 0xff800001, kOne, kDefaultNaN, IOC},
        {"-inf x +0", FPMul<uint32_t>, RN, kNegInf, kZero, kDefaultNaN, IOC},
        {"-inf x +0 extended", FPMulX<uint32_t>, RN, kNegInf, kZero, 0xc0000000, 0},
        {"denormal x 1 under FZ", FPMul<uint32_t>, FZ, 0x00000001, kOne, kZero, IDC},
        {"1 / 0", FPDiv<uint32_t>, RN, kOne, kZero, kInf, DZC},
        {"inf / 0", FPDiv<uint32_t>, RN, kInf, kZero, kInf, 0},
        {"0 / 0", FPDiv<uint32_t>, RN, kZero, kZero, kDefaultNaN, IOC},
        {"1 / 3", FPDiv<uint32_t>, RN, kOne, 0x40400000, 0x3eaaaaab, IXC},
        {"1 / 3 (RZ)", FPDiv<uint32_t>, RZ, kOne, 0x40400000, 0x3eaaaaaa, IXC},
        {"min normal / 2: exact denormal", FPDiv<uint32_t>, RN, 0x00800000, 0x40000000, 0x00400000,
         0},
    };
    for (const BinaryRow &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(r.op(r.a, r.b, fpscr), r.expected) << r.what;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << r.what;
    }
}

TEST(Arithmetic, SquareRoot) {
    const Row<uint32_t> rows[] = {
        {RN, kNegZero, 0, 0, kNegZero, 0},
        {RN, kNegOne, 0, 0, kDefaultNaN, IOC},
        {RN, kNegInf, 0, 0, kDefaultNaN, IOC},
        {RN, kInf, 0, 0, kInf, 0},
        {FZ, 0x00000005, 0, 0, kZero, IDC},
        {RN, 0x40800000, 0, 0, 0x40000000, 0},   // 4 -> 2
        {RN, 0x40000000, 0, 0, 0x3fb504f3, IXC}, // 2 -> 1.41421354
        {RP, 0x40000000, 0, 0, 0x3fb504f4, IXC},
        {RN, 0x00000001, 0, 0, 0x1a3504f3, IXC}, // sqrt(2^-149), an odd exponent
    };
    for (const auto &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(FPSqrt<uint32_t>(r.a, fpscr), r.expected) << std::hex << r.a;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << std::hex << r.a;
    }
    FPSCR fpscr = RN;
    EXPECT_EQ(FPSqrt<uint64_t>(0x4000000000000000, fpscr), 0x3ff6a09e667f3bcdu);
    EXPECT_EQ(FPSqrt<uint16_t>(0x4000, fpscr), 0x3da8);
}

// Double roots at both ends of the estimate's range and exact ones of full width: the integer
// root must come out exact however the estimate errs.
TEST(Arithmetic, DoubleSquareRootEnds) {
    const Row<uint64_t> rows[] = {
        {RN, 0x7fefffffffffffff, 0, 0, 0x5fefffffffffffff, IXC}, // largest
        {RN, 0x400fffffffffffff, 0, 0, 0x3fffffffffffffff, IXC}, // just below 4
        {RN, 0x3ff0000000000001, 0, 0, 0x3ff0000000000000, IXC}, // just above 1
        {RN, 0x000fffffffffffff, 0, 0, 0x1fffffffffffffff, IXC}, // largest denormal
        {RN, 0x0000000000000001, 0, 0, 0x1e60000000000000, 0},   // 2^-1074 -> 2^-537
        {RN, 0x4330000008000001, 0, 0, 0x4190000004000000, 0},   // (2^26 + 1)^2
    };
    for (const auto &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(FPSqrt<uint64_t>(r.a, fpscr), r.expected) << std::hex << r.a;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << std::hex << r.a;
    }
}

TEST(Arithmetic, FusedMultiplyAdd) {
    const Row<uint32_t> rows[] = {
        // Rounded once: a separate multiply and add would give +0.
        {RN, 0xbf801000, 0x3f800800, 0x3f800800, 0x33800000, 0},
        // A quiet NaN addend with infinity x 0: the default NaN, not the addend.
        {RN, 0x7fc00001, kInf, kZero, kDefaultNaN, IOC},
        // A signalling multiplicand beats a quiet addend.
        {RN, 0x7fc00001, 0x7f800002, kOne, 0x7fc00002, IOC},
        // Exact cancellation: +0, or -0 under RM, without IXC.
        {RN, kNegOne, kOne, kOne, kZero, 0},
        {RM, kNegOne, kOne, kOne, kNegZero, 0},
        // inf + (-inf) from the product.
        {RN, kInf, kNegInf, kOne, kDefaultNaN, IOC},
        // A zero product keeps the addend.
        {RN, 0x00000003, kZero, kOne, 0x00000003, 0},
    };
    for (const auto &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(FPMulAdd<uint32_t>(r.a, r.b, r.c, fpscr), r.expected) << std::hex << r.a;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << std::hex << r.a;
    }
    // Scaled: (3 - 1 x 1) / 2 through the double routine.
    int flags = 0;
    EXPECT_EQ(
        fp64_muladd(0x4008000000000000, 0xbff0000000000000, 0x3ff0000000000000, -1, 0, &flags),
        0x3ff0000000000000u);
    EXPECT_EQ(flags, 0);
}

TEST(Arithmetic, SignOperationsTouchNothingElse) {
    EXPECT_EQ(FPNeg<uint32_t>(0x7f800001), 0xff800001u); // a signalling NaN stays signalling
    EXPECT_EQ(FPAbs<uint64_t>(0xfff0000000000001), 0x7ff0000000000001u);
    EXPECT_EQ(FPNeg<uint16_t>(0x0000), 0x8000);
}

} // namespace
} // namespace ostrel::fplib::test
