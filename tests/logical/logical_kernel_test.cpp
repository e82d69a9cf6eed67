// Kernels of the family called directly: ABS, whose rows wait for their floating-point sibling's
// kernel before the decode road reaches them, and the vector-length bound of the element loops.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>

#include "sve/decode/handlers.h"

namespace {

using UnaryKernel = VecValue (*)(VecValue, PredV, VecValue, CpuContext *);

CpuContext context_with_vl(uint32_t vl) {
    CpuContext ctx{};
    ctx.vl = vl;
    return ctx;
}

VecValue filled(uint8_t byte) {
    VecValue v;
    std::memset(v.bytes, byte, sizeof v.bytes);
    return v;
}

uint64_t element_of(const VecValue &v, unsigned i, unsigned esize) {
    uint64_t x = 0;
    for (unsigned b = esize; b-- > 0;)
        x = x << 8 | v.bytes[i * esize + b];
    return x;
}

void set_element_of(VecValue &v, unsigned i, unsigned esize, uint64_t x) {
    for (unsigned b = 0; b < esize; ++b)
        v.bytes[i * esize + b] = static_cast<uint8_t>(x >> (8 * b));
}

struct AbsCase {
    const char *name;
    UnaryKernel kernel;
    unsigned esize;
    uint64_t value, expected;
};

std::ostream &operator<<(std::ostream &os, const AbsCase &c) {
    return os << c.name << "(0x" << std::hex << c.value << ")";
}

const AbsCase kAbsCases[] = {
    {"VecS8AbsVM", VecS8AbsVM, 1, 0x80, 0x80},
    {"VecS8AbsVM", VecS8AbsVM, 1, 0xff, 0x01},
    {"VecS8AbsVM", VecS8AbsVM, 1, 0x7f, 0x7f},
    {"VecS16AbsVM", VecS16AbsVM, 2, 0x8000, 0x8000},
    {"VecS16AbsVM", VecS16AbsVM, 2, 0xfffe, 0x0002},
    {"VecS32AbsVM", VecS32AbsVM, 4, 0x80000000, 0x80000000},
    {"VecS32AbsVM", VecS32AbsVM, 4, 0xffffffff, 0x00000001},
    {"VecS64AbsVM", VecS64AbsVM, 8, 0x8000000000000000, 0x8000000000000000},
    {"VecS64AbsVM", VecS64AbsVM, 8, 0xfffffffffffffffb, 0x5},
    {"VecS64AbsVM", VecS64AbsVM, 8, 0, 0},
};

class AbsKernelTest : public ::testing::TestWithParam<AbsCase> {};

// Even elements active: they take |value| (the most negative value stays itself); odd elements
// keep the old destination.
TEST_P(AbsKernelTest, ActiveElementsTakeTheAbsoluteValue) {
    const AbsCase &c = GetParam();
    const unsigned elements = 192 / c.esize;
    VecValue zn = filled(0), old = filled(0xa5);
    PredV pg;
    pg.clear();
    for (unsigned i = 0; i < elements; ++i) {
        set_element_of(zn, i, c.esize, c.value);
        pg.set_bit(i * c.esize, i % 2 == 0);
    }
    CpuContext ctx = context_with_vl(24);
    const VecValue result = c.kernel(old, pg, zn, &ctx);
    const uint64_t old_element = element_of(old, 0, c.esize);
    for (unsigned i = 0; i < elements; ++i)
        EXPECT_EQ(element_of(result, i, c.esize), i % 2 == 0 ? c.expected : old_element)
            << "element " << i;
}

INSTANTIATE_TEST_SUITE_P(Kernels, AbsKernelTest, ::testing::ValuesIn(kAbsCases));

// Elements from VL x 8 bytes upward are not computed: a merging kernel leaves them as the old
// destination had them.
TEST(LogicalKernelLength, MergingKernelsStopAtTheVectorLength) {
    PredV all;
    for (uint64_t &w : all.words)
        w = ~uint64_t{0};
    const VecValue zn = filled(0x0f), old = filled(0x33);
    for (uint32_t vl : {0u, 2u, 24u, 32u}) {
        CpuContext ctx = context_with_vl(vl);
        const VecValue result = VecU8InvVM(old, all, zn, &ctx);
        for (unsigned b = 0; b < 256; ++b)
            ASSERT_EQ(result.bytes[b], b < vl * 8 ? 0xf0 : 0x33) << "vl " << vl << " byte " << b;
    }
}

// Bits above the low 26 of VL do not count for element loops.
TEST(LogicalKernelLength, OnlyTheLowBitsOfVlCount) {
    CpuContext ctx = context_with_vl(0x4000000u | 1u);
    const VecValue zn = filled(0x80);
    const VecValue result = VecU64ShrVIX(zn, 7, &ctx);
    EXPECT_EQ(element_of(result, 0, 8), 0x0101010101010101u);
    PredV none;
    none.clear();
    const VecValue kept = VecU16ClzVM(filled(0x44), none, zn, &ctx);
    EXPECT_EQ(element_of(kept, 0, 2), 0x4444u);
}

} // namespace
