// The floating-point kernels where the reference cannot judge them: vector lengths other than
// 1536 bits (kernels take VL from the context, the reference runs one length), and corners that
// random cases seldom reach. The expected values are worked out by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

// The kernels' declarations.
#include "sve/decode/handlers.h"

namespace {

constexpr uint32_t kNegInf = 2u << 22, kAhp = 1u << 26;
constexpr uint32_t kIoc = 1, kOfc = 4, kIxc = 16;
constexpr uint16_t kOne = 0x3c00, kSignallingNaN = 0x7c01;

// The first `count` elements of `esize` bytes active.
PredV first_active(unsigned count, unsigned esize) {
    PredV p;
    p.clear();
    for (unsigned i = 0; i < count; ++i)
        p.set_bit(i * esize, true);
    return p;
}

// Every half element `fill`, then the leading ones as given.
VecValue halves(uint16_t fill, std::initializer_list<uint16_t> leading = {}) {
    VecValue v;
    for (unsigned i = 0; i < 128; ++i)
        v.set<uint16_t>(i, fill);
    unsigned i = 0;
    for (uint16_t h : leading)
        v.set<uint16_t>(i++, h);
    return v;
}

struct ReductionCase {
    const char *what;
    uint64_t (*kernel)(PredV, VecValue, CpuContext *);
    uint32_t vl, fpcr;
    unsigned active;
    VecValue zn;
    uint64_t want;
    uint32_t want_fpsr;
};

TEST(FpTreeReduction, PadsWithTheIdentityAtEveryLength) {
    const ReductionCase cases[] = {
        // At 2048 bits: 128 halves, every one counted.
        {"faddv, vl 32", VecF16AddReduceFV, 32, 0, 128, halves(kOne), 0x5800 /* 128 */, 0},
        // 24 halves padded to 32 with +0.
        {"faddv, vl 6", VecF16AddReduceFV, 6, 0, 24, halves(kOne), 0x4e00 /* 24 */, 0},
        // Pairs first: (2048 + 1) ties to 2048, (1 + 1) = 2, then 2050 (in order it stays 2048).
        {"faddv tree order", VecF16AddReduceFV, 1, 0, 4, halves(kOne, {0x6800}), 0x6801, kIxc},
        // A lone active -0 is added to +0 identities: +0, but -0 when rounding toward -infinity.
        {"faddv -0", VecF16AddReduceFV, 24, 0, 1, halves(kOne, {0x8000}), 0x0000, 0},
        {"faddv -0, neginf", VecF16AddReduceFV, 24, kNegInf, 1, halves(kOne, {0x8000}), 0x8000, 0},
        // Nothing active: the identity itself.
        {"fmaxv, vl 3, none active", VecF16MaxReduceFV, 3, 0, 0, halves(kOne), 0xfc00, 0},
        {"fminv, vl 3, none active", VecF16MinReduceFV, 3, 0, 0, halves(kOne), 0x7c00, 0},
        {"fmaxnmv, none active", VecF16MaxNumReduceFV, 24, 0, 0, halves(kOne), 0x7e00, 0},
    };
    for (const ReductionCase &c : cases) {
        SCOPED_TRACE(c.what);
        CpuContext ctx{};
        ctx.vl = c.vl;
        ctx.fpcr = c.fpcr;
        EXPECT_EQ(c.kernel(first_active(c.active, 2), c.zn, &ctx), c.want);
        EXPECT_EQ(ctx.fpsr, c.want_fpsr);
    }
}

TEST(FpOrderedReduction, AddsInElementOrderAndKeepsTheScalarWithNothingActive) {
    const struct {
        const char *what;
        uint32_t vl;
        unsigned active;
        uint64_t scalar, want;
        uint32_t want_fpsr;
    } cases[] = {
        // 2048 + 1 ties to 2048 four times over.
        {"in order", 1, 4, 0x6800, 0x6800, kIxc},
        {"none active, signalling scalar", 24, 0, kSignallingNaN, kSignallingNaN, 0},
        {"vl 32", 32, 128, 0, 0x5800, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        CpuContext ctx{};
        ctx.vl = c.vl;
        EXPECT_EQ(VecF16AddReduceAV(first_active(c.active, 2), c.scalar, halves(kOne), &ctx),
                  c.want);
        EXPECT_EQ(ctx.fpsr, c.want_fpsr);
    }
}

TEST(FpConversion, NarrowingToHalfIgnoresAhpAndKeepsEarlierFlags) {
    // 1.0e10 (0x501502f9) overflows half: +infinity with OFC and IXC, not AHP's 0x7fff with IOC.
    VecValue zn{};
    zn.set<uint32_t>(0, 0x501502f9);
    CpuContext ctx{};
    ctx.vl = 24;
    ctx.fpcr = kAhp;
    ctx.fpsr = kIoc;
    const VecValue zd = VecH32TruncFVM(halves(0xffff), first_active(1, 4), zn, &ctx);
    EXPECT_EQ(zd.get<uint32_t>(0), 0x7c00u);
    EXPECT_EQ(zd.get<uint32_t>(1), 0xffffffffu); // inactive: kept
    EXPECT_EQ(ctx.fpsr, kIoc | kOfc | kIxc);
}

} // namespace
