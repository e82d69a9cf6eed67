// Estimates, steps, the exponent reciprocal and the trigonometric and exponential helpers (FTMAD,
// FTSMUL and FEXPA have no scalar instruction to check them against).
#include "tests/fplib/fplib_test_support.h"

namespace ostrel::fplib::test {
namespace {

TEST(Estimate, Reciprocal) {
    const Row<uint32_t> rows[] = {
        {RN, 0x3f800000, 0, 0, 0x3f7f8000, 0},         // 1.0
        {RN, 0x40000000, 0, 0, 0x3eff8000, 0},         // 2.0
        {RN, 0x7e800000, 0, 0, 0x007fc000, 0},         // 2^126: a denormal estimate
        {FZ, 0x7e800000, 0, 0, 0x00000000, UFC},       //   flushed under FZ
        {RN, 0x00100000, 0, 0, 0x7f800000, OFC | IXC}, // 2^-129 overflows
        {RZ, 0x00100000, 0, 0, 0x7f7fffff, OFC | IXC},
        {RP, 0x80100000, 0, 0, 0xff7fffff, OFC | IXC},
        {RN, 0x00400000, 0, 0, 0x7eff8000, 0}, // 2^-127 does not
        {RN, 0x80000000, 0, 0, 0xff800000, DZC},
        {RN, 0xff800000, 0, 0, 0x80000000, 0},
        {FZ, 0x00000001, 0, 0, 0x7f800000, DZC | IDC},
    };
    for (const auto &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(FPRecipEstimate<uint32_t>(r.a, fpscr), r.expected) << std::hex << r.a;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << std::hex << r.a;
    }
}

TEST(Estimate, ReciprocalSquareRoot) {
    const Row<uint32_t> rows[] = {
        {RN, 0x3f800000, 0, 0, 0x3f7f8000, 0}, // 1.0
        {RN, 0x40800000, 0, 0, 0x3eff8000, 0}, // 4.0
        {RN, 0x80000000, 0, 0, 0xff800000, DZC}, {RN, 0xbf800000, 0, 0, 0x7fc00000, IOC},
        {RN, 0x7f800000, 0, 0, 0x00000000, 0},
    };
    for (const auto &r : rows) {
        FPSCR fpscr = r.fpcr;
        EXPECT_EQ(FPRSqrtEstimate<uint32_t>(r.a, fpscr), r.expected) << std::hex << r.a;
        EXPECT_EQ(new_flags(fpscr, r.fpcr), r.flags) << std::hex << r.a;
    }
    const uint8_t first[] = {255, 253, 251, 249};
    const uint8_t from_128[] = {105, 104, 103, 101};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tables::recip_sqrt_estimate[i], first[i]);
        EXPECT_EQ(tables::recip_sqrt_estimate[128 + i], from_128[i]);
    }
}

TEST(Estimate, StepsAndExponentReciprocal) {
    FPSCR fpscr = RN;
    EXPECT_EQ(FPRecipStepFused<uint32_t>(0x7f800000, 0x80000000, fpscr), 0x40000000u);
    EXPECT_EQ(FPRSqrtStepFused<uint32_t>(0x00000000, 0x7f800000, fpscr), 0x3fc00000u);
    EXPECT_EQ(fpscr, RN);
    EXPECT_EQ(FPRecipStepFused<uint32_t>(0x3f800000, 0x3f800000, fpscr), 0x3f800000u); // 2 - 1
    EXPECT_EQ(FPRSqrtStepFused<uint32_t>(0x3f800000, 0x40000000, fpscr), 0x3f000000u); // (3-2)/2
    EXPECT_EQ(FPRecipStepFused<uint32_t>(0x7fc00001, 0x3f800000, fpscr), 0xffc00001u);

    EXPECT_EQ(FPRecpX<uint32_t>(0x40400000, fpscr), 0x3f800000u);
    EXPECT_EQ(FPRecpX<uint32_t>(0x3f800000, fpscr), 0x40000000u);
    EXPECT_EQ(FPRecpX<uint32_t>(0x00000000, fpscr), 0x7f000000u);
    EXPECT_EQ(FPRecpX<uint16_t>(0x8001, fpscr), 0xf800);
    EXPECT_EQ(FPRecpX<uint64_t>(0xfff0000000000000, fpscr), 0x8000000000000000u);
    EXPECT_EQ(fpscr, RN);
}

TEST(Trigonometric, MultiplyAddAndSquare) {
    FPSCR fpscr = RN;
    // Coefficient 0 of the sine series is 1.0: 1 + 2 x 3.
    EXPECT_EQ(FPTRIMADD<uint32_t>(0, 0x40000000, 0x40400000, fpscr), 0x40e00000u);
    // A negative op2 picks the cosine series (entry 9: -0.5) and is used as its magnitude.
    EXPECT_EQ(FPTRIMADD<uint32_t>(1, 0x40000000, 0xc0400000, fpscr), 0x40b00000u);
    EXPECT_EQ(FPTRIMADD<uint16_t>(1, 0x0000, 0x3c00, fpscr), 0xb155);
    EXPECT_EQ(FPTRIMADD<uint64_t>(6, 0x0000000000000000, 0, fpscr), 0x3de5d8408868552fu);

    EXPECT_EQ(FPTRISMUL<uint32_t>(0xc0000000, 1, fpscr), 0xc0800000u); // -2 -> -4
    EXPECT_EQ(FPTRISMUL<uint32_t>(0x40400000, 2, fpscr), 0x41100000u); // 3 -> +9
    EXPECT_EQ(FPTRISMUL<uint16_t>(0xfe01, 1, fpscr), 0xfe01);          // a NaN keeps its sign
    EXPECT_EQ(fpscr, RN);
}

TEST(Exponential, TableAndExponentBits) {
    EXPECT_EQ(FPEXPA<uint32_t>(0), 0u);
    EXPECT_EQ(FPEXPA<uint32_t>(127 << 6), 0x3f800000u);
    EXPECT_EQ(FPEXPA<uint32_t>(1), 0x164d2u);
    EXPECT_EQ(FPEXPA<uint16_t>((15 << 5) | 1), 0x3c16);
    EXPECT_EQ(FPEXPA<uint64_t>((uint64_t(1023) << 6) | 1), 0x3ff02c9a3e778061u);
    EXPECT_EQ(FPEXPA<uint64_t>((uint64_t(1023) << 6) | 32), 0x3ff6a09e667f3bcdu); // sqrt(2)
}

TEST(Estimate, RealNumberEstimates) {
    EXPECT_EQ(UnsignedRecipEstimate(0x7fffffff), 0xffffffffu);
    EXPECT_EQ(UnsignedRecipEstimate(0x80000000), 0xff800000u); // 1/0.5 -> 511/256
    EXPECT_EQ(UnsignedRSqrtEstimate(0x3fffffff), 0xffffffffu);
    EXPECT_DOUBLE_EQ(recip_estimate(0.5), 511.0 / 256.0);
}

} // namespace
} // namespace ostrel::fplib::test
