// Conversions: widths (with AHP and the FZ16 flush of half inputs), float to integer with
// saturation, integer to float, round to integral in every mode, scaling.
#include "tests/fplib/fplib_test_support.h"

namespace ostrel::fplib::test {
namespace {

TEST(Convert, BetweenWidths) {
    FPSCR fpscr = RN;
    EXPECT_EQ((FPConvert<uint64_t, uint32_t>(0x3ff0000010000000, FPRounding_TIEEVEN, fpscr)),
              0x3f800000u);
    EXPECT_EQ(new_flags(fpscr, RN), IXC);

    fpscr = RN;
    EXPECT_EQ((FPConvert<uint32_t, uint16_t>(0x477ff000, FPRounding_TIEEVEN, fpscr)), 0x7c00);
    EXPECT_EQ(new_flags(fpscr, RN), OFC | IXC);
    fpscr = AHP;
    EXPECT_EQ((FPConvert<uint32_t, uint16_t>(0x477ff000, FPRounding_TIEEVEN, fpscr)), 0x7c00);
    EXPECT_EQ(new_flags(fpscr, AHP), IXC);

    fpscr = AHP; // 0x7c00 is 65536 under AHP
    EXPECT_EQ((FPConvert<uint16_t, uint32_t>(0x7c00, FPRounding_TIEEVEN, fpscr)), 0x47800000u);
    fpscr = AHP; // no NaN in AHP: a zero of the sign and IOC
    EXPECT_EQ((FPConvert<uint32_t, uint16_t>(0xffc00000, FPRounding_TIEEVEN, fpscr)), 0x8000);
    EXPECT_EQ(new_flags(fpscr, AHP), IOC);
    fpscr = AHP;
    EXPECT_EQ((FPConvert<uint64_t, uint16_t>(0xfff0000000000000, FPRounding_TIEEVEN, fpscr)),
              0xffff);
    EXPECT_EQ(new_flags(fpscr, AHP), IOC);

    fpscr = FZ16; // half inputs flush under FZ16, silently
    EXPECT_EQ((FPConvert<uint16_t, uint32_t>(0x0001, FPRounding_TIEEVEN, fpscr)), 0u);
    EXPECT_EQ(new_flags(fpscr, FZ16), 0);
    fpscr = RN;
    EXPECT_EQ((FPConvert<uint16_t, uint32_t>(0x0001, FPRounding_TIEEVEN, fpscr)), 0x33800000u);

    fpscr = RN; // NaN payloads keep their top bits
    EXPECT_EQ((FPConvert<uint64_t, uint32_t>(0xfff4000020000000, FPRounding_TIEEVEN, fpscr)),
              0xffe00001u);
    EXPECT_EQ(new_flags(fpscr, RN), IOC);
    fpscr = FZ; // a single result from double flushes under FZ
    EXPECT_EQ((FPConvert<uint64_t, uint32_t>(0x3800000000000000, FPRounding_TIEEVEN, fpscr)), 0u);
    EXPECT_EQ(new_flags(fpscr, FZ), UFC);
}

TEST(Convert, FloatToInteger) {
    struct ToIntRow {
        uint32_t op;
        bool is_unsigned;
        uint32_t expected;
        int flags;
    };
    const ToIntRow rows[] = {
        {0x40600000, false, 3, IXC},          // 3.5
        {0xbf000000, true, 0, IXC},           // -0.5 to unsigned: 0, no IOC
        {0xbf800000, true, 0, IOC},           // -1.0 to unsigned
        {0x4f000000, false, 0x7fffffff, IOC}, // 2^31
        {0xcf000000, false, 0x80000000, 0},   // -2^31
        {0x7fc00000, false, 0, IOC},          {0x7f800001, true, 0, IOC},
        {0x4f800000, true, 0xffffffff, IOC}, // 2^32
    };
    for (const ToIntRow &r : rows) {
        FPSCR fpscr = RN;
        EXPECT_EQ(
            (fplibFPToFixed<uint32_t, uint32_t>(r.op, 0, r.is_unsigned, FPRounding_ZERO, fpscr)),
            r.expected)
            << std::hex << r.op;
        EXPECT_EQ(new_flags(fpscr, RN), r.flags) << std::hex << r.op;
    }
    FPSCR fpscr = RN;
    EXPECT_EQ((fplibFPToFixed<uint16_t, uint16_t>(0x7bff, 0, false, FPRounding_ZERO, fpscr)),
              0x7fff);
    EXPECT_EQ(new_flags(fpscr, RN), IOC);
    fpscr = RN;
    EXPECT_EQ((fplibFPToFixed<uint16_t, uint64_t>(0xfc00, 0, true, FPRounding_ZERO, fpscr)), 0u);
    EXPECT_EQ(new_flags(fpscr, RN), IOC);
    fpscr = RN; // 1.25 with two fraction bits is exactly 5
    EXPECT_EQ(
        (fplibFPToFixed<uint64_t, uint64_t>(0x3ff4000000000000, 2, false, FPRounding_ZERO, fpscr)),
        5u);
    EXPECT_EQ(new_flags(fpscr, RN), 0);
}

TEST(Convert, IntegerToFloat) {
    FPSCR fpscr = RN;
    EXPECT_EQ(fplibFixedToFP<uint16_t>(65536, 0, false, FPRounding_TIEEVEN, fpscr), 0x7c00);
    EXPECT_EQ(new_flags(fpscr, RN), OFC | IXC);
    fpscr = RZ;
    EXPECT_EQ(fplibFixedToFP<uint16_t>(65536, 0, false, FPRounding_ZERO, fpscr), 0x7bff);
    fpscr = RN;
    EXPECT_EQ(fplibFixedToFP<uint32_t>(~uint64_t(0), 0, false, FPRounding_TIEEVEN, fpscr),
              0xbf800000u);
    EXPECT_EQ(fplibFixedToFP<uint32_t>(~uint64_t(0), 0, true, FPRounding_TIEEVEN, fpscr),
              0x5f800000u);
    EXPECT_EQ(fplibFixedToFP<uint64_t>(uint64_t(1) << 63, 0, false, FPRounding_TIEEVEN, fpscr),
              0xc3e0000000000000u);
    EXPECT_EQ(fplibFixedToFP<uint32_t>(0, 5, false, FPRounding_NEGINF, fpscr), 0u);
    fpscr = FZ16; // a half result is never flushed
    EXPECT_EQ(fplibFixedToFP<uint16_t>(1, 24, false, FPRounding_TIEEVEN, fpscr), 0x0001);
}

TEST(Convert, RoundToIntegral) {
    struct RoundIntRow {
        uint32_t op;
        FPRounding rounding;
        bool exact;
        uint32_t expected;
        int flags;
    };
    const RoundIntRow rows[] = {
        {0x3fc00000, FPRounding_TIEAWAY, false, 0x40000000, 0},  // 1.5 -> 2
        {0xc0200000, FPRounding_TIEAWAY, false, 0xc0400000, 0},  // -2.5 -> -3
        {0xc0200000, FPRounding_TIEEVEN, false, 0xc0000000, 0},  // -2.5 -> -2
        {0x3f333333, FPRounding_ZERO, false, 0x00000000, 0},     // 0.7 -> +0
        {0x3f333333, FPRounding_TIEEVEN, true, 0x3f800000, IXC}, // FRINTX
        {0xbecccccd, FPRounding_TIEEVEN, false, 0x80000000, 0},  // -0.4 -> -0
        {0xbecccccd, FPRounding_NEGINF, false, 0xbf800000, 0},
        {0x3ecccccd, FPRounding_POSINF, false, 0x3f800000, 0},
        {0x4b000001, FPRounding_TIEEVEN, true, 0x4b000001, 0}, // no fraction bits left
        {0x7f800001, FPRounding_ZERO, false, 0x7fc00001, IOC},
    };
    for (const RoundIntRow &r : rows) {
        FPSCR fpscr = RN;
        EXPECT_EQ(FPRoundInt<uint32_t>(r.op, r.rounding, r.exact, fpscr), r.expected)
            << std::hex << r.op;
        EXPECT_EQ(new_flags(fpscr, RN), r.flags) << std::hex << r.op;
    }
}

TEST(Convert, Scale) {
    FPSCR fpscr = RN;
    EXPECT_EQ(FPScale32(0x3f800000, 1000, fpscr), 0x7f800000u);
    EXPECT_EQ(new_flags(fpscr, RN), OFC | IXC);
    fpscr = RN;
    EXPECT_EQ(FPScale32(0x3f800000, -1000, fpscr), 0u);
    EXPECT_EQ(new_flags(fpscr, RN), UFC | IXC);
    fpscr = RN;
    EXPECT_EQ(FPScale16(0x3c00, -24, fpscr), 0x0001); // the smallest half denormal, exactly
    EXPECT_EQ(new_flags(fpscr, RN), 0);
    EXPECT_EQ(FPScale64(0x3ff8000000000000, 3, fpscr), 0x4028000000000000u); // 1.5 x 8
    EXPECT_EQ(FPScale64(0x8000000000000000, 3, fpscr), 0x8000000000000000u);
    fpscr = FZ; // a tiny result flushes
    EXPECT_EQ(FPScale32(0x3f800000, -130, fpscr), 0u);
    EXPECT_EQ(new_flags(fpscr, FZ), UFC);
}

} // namespace
} // namespace ostrel::fplib::test
