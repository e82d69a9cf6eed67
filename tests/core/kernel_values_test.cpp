// Vector and predicate values of the kernel route.
#include <gtest/gtest.h>

#include "sve/kernels/vec_value.h"

namespace {

TEST(PredV, BitsAddressAllFourWords) {
    PredV p;
    p.clear();
    for (unsigned b : {0u, 63u, 64u, 191u, 255u}) {
        EXPECT_FALSE(p.bit(b));
        p.set_bit(b, true);
        EXPECT_TRUE(p.bit(b));
    }
    EXPECT_EQ(p.words[0], 0x8000000000000001ull);
    EXPECT_EQ(p.words[1], 1ull);
    EXPECT_EQ(p.words[2], 0x8000000000000000ull);
    EXPECT_EQ(p.words[3], 0x8000000000000000ull);
    p.set_bit(63, false);
    EXPECT_EQ(p.words[0], 1ull);
}

TEST(VecValue, ElementsAreLittleEndianAtTheirByteOffset) {
    VecValue v{};
    v.set<uint32_t>(3, 0x11223344u);
    EXPECT_EQ(v.bytes[12], 0x44);
    EXPECT_EQ(v.bytes[15], 0x11);
    EXPECT_EQ(v.get<uint16_t>(6), 0x3344);
    v.set<uint64_t>(31, ~0ull);
    EXPECT_EQ(v.bytes[255], 0xff);
    EXPECT_EQ(v.bytes[247], 0x00);
}

TEST(CpuContext, LayoutPutsFfrAfterTheFourWords) {
    EXPECT_EQ(offsetof(CpuContext, nzcv), 0u);
    EXPECT_EQ(offsetof(CpuContext, vl), 12u);
    EXPECT_EQ(offsetof(CpuContext, ffr), 16u);
    EXPECT_EQ(sizeof(VecValue), 256u);
    EXPECT_EQ(sizeof(PredV), 32u);
}

} // namespace
