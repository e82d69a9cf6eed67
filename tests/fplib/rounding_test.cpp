// The rounding routines at the ends of the range: tininess before rounding, flush of results,
// overflow by mode and alternative half precision.
#include "sve/fplib/fp_round.h"
#include "tests/fplib/fplib_test_support.h"

namespace ostrel::fplib::test {
namespace {

struct RoundRow {
    int sign, exp;
    uint32_t mnt;
    int rm, mode;
    uint32_t expected;
    int flags;
};

TEST(Rounding, SingleTinyOverflowAndFlush) {
    const RoundRow rows[] = {
        // exp 0, exactly half an ulp below, q even: stays denormal, UFC and IXC.
        {0, 0, 0x00000200, FPRounding_TIEEVEN, 0, 0x00400000, UFC | IXC},
        // The smallest denormal, reached by rounding up from below.
        {0, -23, 0x80000000, FPRounding_TIEEVEN, 0, 0x00000001, UFC | IXC},
        // A denormal that rounds up to the smallest normal still underflows.
        {0, 0, 0xffffffff, FPRounding_TIEEVEN, 0, 0x00800000, UFC | IXC},
        // Exact tiny results raise nothing.
        {1, 0, 0x00000000, FPRounding_ZERO, 0, 0x80400000, 0},
        // Overflow: by mode and sign.
        {0, 255, 0, FPRounding_ZERO, 0, 0x7f7fffff, OFC | IXC},
        {1, 255, 0, FPRounding_POSINF, 0, 0xff7fffff, OFC | IXC},
        {0, 255, 0, FPRounding_POSINF, 0, 0x7f800000, OFC | IXC},
        {1, 300, 0, FPRounding_TIEEVEN, 0, 0xff800000, OFC | IXC},
        // Rounding up into the next binade, below the top one and into overflow.
        {0, 253, 0xffffffff, FPRounding_TIEEVEN, 0, 0x7f000000, IXC},
        {0, 254, 0xffffffff, FPRounding_TIEEVEN, 0, 0x7f800000, OFC | IXC},
        {0, 254, 0xffffffff, FPRounding_ZERO, 0, 0x7f7fffff, IXC},
        // Flush of tiny results under FZ: a signed zero, UFC only.
        {1, 0, 0x12345678, FPRounding_TIEEVEN, FPLIB_FZ, 0x80000000, UFC},
        // Round to odd: inexact results get bit 0 set.
        {0, 127, 0x00000001, FPRounding_ODD, 0, 0x3f800001, IXC},
    };
    for (const RoundRow &r : rows) {
        int flags = 0;
        EXPECT_EQ(fp32_round_(r.sign, r.exp, r.mnt, r.rm, r.mode, &flags), r.expected)
            << std::hex << r.exp << " " << r.mnt;
        EXPECT_EQ(flags, r.flags) << std::hex << r.exp << " " << r.mnt;
    }
}

TEST(Rounding, HalfAlternativeAndFlushControls) {
    const RoundRow rows[] = {
        // 65536 (exponent 31) is ordinary under AHP; 131072 is beyond it: IOC only.
        {0, 31, 0x0000, FPRounding_TIEEVEN, FPLIB_AHP, 0x7c00, 0},
        {1, 32, 0x0000, FPRounding_TIEEVEN, FPLIB_AHP, 0xffff, IOC},
        {0, 31, 0x0000, FPRounding_TIEEVEN, 0, 0x7c00, OFC | IXC},
        // Under AHP a tie at exponent 31 stays; rounding up beyond it is IOC alone.
        {0, 31, 0x0020, FPRounding_TIEEVEN, FPLIB_AHP, 0x7c00, IXC},
        {1, 31, 0xffff, FPRounding_TIEEVEN, FPLIB_AHP, 0xffff, IOC},
        // Half results flush under FZ16, not under FZ (where this one is an exact denormal).
        {0, 0, 0x8000, FPRounding_TIEEVEN, FPLIB_FZ16, 0x0000, UFC},
        {0, 0, 0x8000, FPRounding_TIEEVEN, FPLIB_FZ, 0x0300, 0},
    };
    for (const RoundRow &r : rows) {
        int flags = 0;
        EXPECT_EQ(fp16_round_(r.sign, r.exp, static_cast<uint16_t>(r.mnt), r.rm, r.mode, &flags),
                  r.expected)
            << r.exp;
        EXPECT_EQ(flags, r.flags) << r.exp;
    }
}

TEST(Rounding, DoubleTruncatesUnderRoundToOdd) {
    int flags = 0;
    EXPECT_EQ(fp64_round_(0, 1023, 0x0000000000000fff, FPRounding_ODD, 0, &flags),
              0x3ff0000000000000u);
    EXPECT_EQ(flags, IXC);
}

TEST(Rounding, ModeWordLeavesAhpOut) {
    EXPECT_EQ(fp_mode_word(RZ | FZ | DN | AHP | FZ16), 3 | FPLIB_FZ | FPLIB_DN | FPLIB_FZ16);
}

} // namespace
} // namespace ostrel::fplib::test
