// Predicate kernels at vector lengths other than the fixed route's: only VL x 8 predicate bits
// take part, and with VL = 0 a flag-setting kernel reports nothing active.
#include <gtest/gtest.h>

#include "sve/decode/handlers.h"

namespace {

constexpr uint32_t N = 1u << 31, Z = 1u << 30, C = 1u << 29, V = 1u << 28;

PredV ones() {
    PredV p;
    for (uint64_t &w : p.words)
        w = ~uint64_t{0};
    return p;
}
PredV bits(std::initializer_list<unsigned> set) {
    PredV p;
    p.clear();
    for (unsigned b : set)
        p.set_bit(b, true);
    return p;
}
CpuContext context(uint32_t vl, uint32_t nzcv) {
    CpuContext ctx{};
    ctx.vl = vl;
    ctx.nzcv = nzcv;
    return ctx;
}

TEST(PredicateKernels, ZeroVectorLength) {
    CpuContext ctx = context(0, N | V | 0x7);
    VecPAndFlgPPZ(ones(), ones(), ones(), &ctx);
    EXPECT_EQ(ctx.nzcv, Z | C | 0x7);
    ctx = context(0, N | V);
    VecPBreakBFlgPZ(ones(), bits({}), &ctx);
    EXPECT_EQ(ctx.nzcv, Z | C);
}

// VL = 2: sixteen predicate bits.
TEST(PredicateKernels, ShortVector) {
    CpuContext ctx = context(2, 0);
    const PredV brka = VecPBreakAFlgPZ(ones(), bits({20}), &ctx);
    for (unsigned b = 0; b < 16; ++b)
        EXPECT_TRUE(brka.bit(b)) << b;
    EXPECT_EQ(ctx.nzcv, N) << "the last of sixteen active bits is set";

    ctx = context(2, 0);
    const PredV orr = VecPOrFlgPPZ(ones(), bits({3, 40}), bits({}), &ctx);
    EXPECT_TRUE(orr.bit(3));
    EXPECT_FALSE(orr.bit(40));
    EXPECT_EQ(ctx.nzcv, C);

    ctx = context(2, 0);
    VecValue z{};
    z.set<uint64_t>(0, 10);
    z.set<uint64_t>(1, 20);
    const VecValue r = VecU64IncrCountPV(ones(), z, &ctx);
    EXPECT_EQ(r.get<uint64_t>(0), 12u) << "two doublewords at VL 2";
    EXPECT_EQ(r.get<uint64_t>(1), 22u);

    ctx = context(2, 0);
    EXPECT_EQ(VecU8DecrSCountPS(ones(), 100, &ctx), 84u);

    // TRN1 on bytes pairs element 2i of Pn with element 2i of Pm; bit 16 is beyond VL.
    ctx = context(2, 0);
    const PredV trn = VecP8Trn1PP(bits({2, 16}), bits({14}), &ctx);
    EXPECT_TRUE(trn.bit(2));
    EXPECT_TRUE(trn.bit(15));
    EXPECT_FALSE(trn.bit(16));
}

} // namespace
