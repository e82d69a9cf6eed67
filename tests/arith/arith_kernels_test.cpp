// The integer arithmetic kernels called directly, with contexts of other vector lengths than the
// fixed route's: absolute difference and reversed subtract (whose rows wait for their
// floating-point kernels), how many elements a vector length covers, and the flags of a compare
// with no elements at all.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "sve/decode/handlers.h"

namespace {

using MergingKernel = ostrel::decode::KernelFormOf<ostrel_kernel_tag_AbdVVM>::Sig;
using SaturatingKernel = ostrel::decode::KernelFormOf<ostrel_kernel_tag_QAddVVX>::Sig;
using CompareImmKernel = ostrel::decode::KernelFormOf<ostrel_kernel_tag_CmpFlgGEVIZ>::Sig;
using WideCompareKernel = ostrel::decode::KernelFormOf<ostrel_kernel_tag_CmpFlgEQVWZ>::Sig;

constexpr uint32_t kN = 1u << 31, kZ = 1u << 30, kC = 1u << 29, kV = 1u << 28;

CpuContext context(uint32_t vl) {
    CpuContext ctx{};
    ctx.nzcv = 0x0000abcd | kN | kV;
    ctx.fpsr = 0x8000001f;
    ctx.vl = vl;
    return ctx;
}

template <typename T> VecValue filled(uint64_t v) {
    VecValue out;
    for (unsigned i = 0; i < sizeof out.bytes / sizeof(T); ++i)
        out.set<T>(i, static_cast<T>(v));
    return out;
}

PredV every_other(unsigned esize_bytes) {
    PredV p;
    p.clear();
    for (unsigned i = 0; i < 256 / esize_bytes; i += 2)
        p.set_bit(i * esize_bytes, true);
    return p;
}

// Zdn holds a and Zm b in every element; even elements are active.
struct MergingCase {
    const char *name;
    MergingKernel *kernel;
    unsigned esize;
    uint64_t a, b, expected;
};

std::ostream &operator<<(std::ostream &os, const MergingCase &c) {
    return os << c.name;
}

constexpr uint64_t kAll64 = ~uint64_t{0};

// clang-format off
const MergingCase kMerging[] = {
    {"VecS8AbdVVM", &VecS8AbdVVM, 1, 0x80, 0x7f, 0xff},
    {"VecU8AbdVVM", &VecU8AbdVVM, 1, 0x80, 0x7f, 0x01},
    {"VecS16AbdVVM", &VecS16AbdVVM, 2, 0xfffe, 0x0003, 0x0005},
    {"VecU16AbdVVM", &VecU16AbdVVM, 2, 0xfffe, 0x0003, 0xfffb},
    {"VecS32AbdVVM", &VecS32AbdVVM, 4, 0x80000000, 0x7fffffff, 0xffffffff},
    {"VecU32AbdVVM", &VecU32AbdVVM, 4, 3, 10, 7},
    {"VecS64AbdVVM", &VecS64AbdVVM, 8, 0x8000000000000000, 0x7fffffffffffffff, kAll64},
    {"VecU64AbdVVM", &VecU64AbdVVM, 8, 0, kAll64, kAll64},
    {"VecS64AbdVVM", &VecS64AbdVVM, 8, 0, kAll64, 1},
    {"VecU8SubRVVM", &VecU8SubRVVM, 1, 1, 0, 0xff},
    {"VecU16SubRVVM", &VecU16SubRVVM, 2, 1, 0, 0xffff},
    {"VecU32SubRVVM", &VecU32SubRVVM, 4, 5, 3, 0xfffffffe},
    {"VecU64SubRVVM", &VecU64SubRVVM, 8, 3, 5, 2},
};
// clang-format on

template <typename T> void check_merging(const MergingCase &c) {
    CpuContext ctx = context(24);
    const CpuContext before = ctx;
    const VecValue out = c.kernel(filled<T>(c.a), every_other(sizeof(T)), filled<T>(c.b), &ctx);
    for (unsigned i = 0; i < 192 / sizeof(T); ++i)
        ASSERT_EQ(out.get<T>(i), static_cast<T>(i % 2 == 0 ? c.expected : c.a)) << "element " << i;
    EXPECT_EQ(std::memcmp(&ctx, &before, sizeof ctx), 0) << "the context changed";
}

class MergingKernelTest : public ::testing::TestWithParam<MergingCase> {};

TEST_P(MergingKernelTest, ActiveElementsGetTheResultInactiveKeepZdn) {
    const MergingCase &c = GetParam();
    switch (c.esize) {
    case 1:
        return check_merging<uint8_t>(c);
    case 2:
        return check_merging<uint16_t>(c);
    case 4:
        return check_merging<uint32_t>(c);
    default:
        return check_merging<uint64_t>(c);
    }
}

INSTANTIATE_TEST_SUITE_P(AbdAndSubR, MergingKernelTest, ::testing::ValuesIn(kMerging));

// The element count follows the context: VL = 2 covers 16 bytes.
TEST(KernelVectorLength, ShortVectorComputesOnlyItsElements) {
    CpuContext ctx = context(2);
    SaturatingKernel *qadd = &VecU16QAddVVX;
    const VecValue out = qadd(filled<uint16_t>(0xfff0), filled<uint16_t>(0x20), &ctx);
    for (unsigned i = 0; i < 8; ++i)
        EXPECT_EQ(out.get<uint16_t>(i), 0xffff) << i;

    // With VL = 2 a word compare has four elements; the fifth's bit stays clear.
    CompareImmKernel *cmphs = &VecU32CmpFlgGEVIZ;
    PredV all;
    for (uint64_t &w : all.words)
        w = ~uint64_t{0};
    const PredV p = cmphs(all, filled<uint32_t>(7), 7, &ctx);
    EXPECT_EQ(p.words[0], 0x1111u);
    EXPECT_EQ(p.words[1] | p.words[2] | p.words[3], 0u);
    EXPECT_EQ(ctx.nzcv, 0x0000abcdu | kN) << std::hex << ctx.nzcv;
}

// With VL = 0 there is no element: nothing is true, and the flags say so (N=0, Z=1, C=1, V=0)
// while the other NZCV bits stay.
TEST(KernelVectorLength, NoElementsGiveZAndC) {
    CpuContext ctx = context(0);
    CompareImmKernel *cmpge = &VecS8CmpFlgGEVIZ;
    PredV all;
    for (uint64_t &w : all.words)
        w = ~uint64_t{0};
    const PredV p = cmpge(all, filled<uint8_t>(0), -16, &ctx);
    EXPECT_EQ(p.words[0] | p.words[1] | p.words[2] | p.words[3], 0u);
    EXPECT_EQ(ctx.nzcv, 0x0000abcdu | kZ | kC);

    ctx = context(0);
    WideCompareKernel *cmpeq = &VecS8CmpFlgEQVWZ;
    cmpeq(all, filled<uint8_t>(0), filled<uint64_t>(0), &ctx);
    EXPECT_EQ(ctx.nzcv, 0x0000abcdu | kZ | kC);
}

// A wide compare of bytes uses the same 64-bit element for all eight bytes of its segment.
TEST(WideCompareKernel, EightBytesShareTheirSegmentsElement) {
    CpuContext ctx = context(24);
    VecValue zn, zm;
    for (unsigned i = 0; i < 192; ++i)
        zn.set<uint8_t>(i, static_cast<uint8_t>(i / 8));
    for (unsigned j = 0; j < 24; ++j)
        zm.set<uint64_t>(j, j % 3 == 0 ? j : 1000 + j);
    WideCompareKernel *cmpeq = &VecS8CmpFlgEQVWZ;
    PredV all;
    for (uint64_t &w : all.words)
        w = ~uint64_t{0};
    const PredV p = cmpeq(all, zn, zm, &ctx);
    for (unsigned i = 0; i < 192; ++i)
        ASSERT_EQ(p.bit(i), (i / 8) % 3 == 0) << i;
    // First element true, last (segment 23) false.
    EXPECT_EQ(ctx.nzcv & (kN | kZ | kC | kV), kN | kC);
}

} // namespace
