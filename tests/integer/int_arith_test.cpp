#include <cstdint>

#include <gtest/gtest.h>

#include "sve/exec/integer/int_arith.h"
#include "tests/integer/int128_test_support.h"

namespace ostrel {
namespace {

using test::kI128Max;
using test::kI128Min;
using test::Pow2;
using test::SameI128;

// Value of the low N bits built bit by bit, the way the pseudocode defines Int.
i128 NaiveInt(uint64_t x, int n, bool is_unsigned) {
    i128 value = 0;
    for (int i = 0; i < n; ++i) {
        if ((x >> i) & 1) value += Pow2(i);
    }
    if (!is_unsigned && ((x >> (n - 1)) & 1)) value -= Pow2(n);
    return value;
}

// Arithmetic shift right as repeated floor halving.
i128 NaiveShiftRight(i128 v, int s) {
    for (int i = 0; i < s; ++i)
        v = (v - (v & 1)) / 2;
    return v;
}

TEST(Ones, MasksTheLowBits) {
    struct Case {
        int n;
        uint64_t mask;
    } cases[] = {{-3, 0},
                 {0, 0},
                 {1, 1},
                 {8, 0xff},
                 {63, 0x7fffffffffffffffULL},
                 {64, ~uint64_t{0}},
                 {100, ~uint64_t{0}}};
    for (const Case &c : cases)
        EXPECT_EQ(ones(c.n), c.mask) << "N=" << c.n;
}

TEST(Int, ArchitecturalExamples) {
    EXPECT_TRUE(SameI128(Int(0x80, 8, kSigned), -128));
    EXPECT_TRUE(SameI128(Int(0x80, 8, kUnsigned), 128));
    EXPECT_TRUE(SameI128(Int(0x1FF, 8, kUnsigned), 255));
    EXPECT_TRUE(SameI128(UInt(0x1FF, 8), 255));
    // Only exactly 1 selects unsigned.
    EXPECT_TRUE(SameI128(Int(0x80, 8, 2), -128));
    EXPECT_TRUE(SameI128(Int(0x80, 8, -1), -128));
    EXPECT_TRUE(SameI128(Int(~uint64_t{0}, 64, kSigned), -1));
    EXPECT_TRUE(SameI128(Int(~uint64_t{0}, 64, kUnsigned), Pow2(64) - 1));
    EXPECT_TRUE(SameI128(Int(uint64_t{1} << 63, 64, kSigned), -Pow2(63)));
}

TEST(Int, MatchesBitByBitValueForEveryWidth) {
    for (uint64_t x : test::SampleWords()) {
        for (int n = 1; n <= 64; ++n) {
            ASSERT_TRUE(SameI128(Int(x, n, kSigned), NaiveInt(x, n, false)))
                << "x=" << std::hex << x << std::dec << " N=" << n;
            ASSERT_TRUE(SameI128(Int(x, n, kUnsigned), NaiveInt(x, n, true)))
                << "x=" << std::hex << x << std::dec << " N=" << n;
        }
    }
}

TEST(SInt, SignExtendsElementWidthsOnly) {
    for (uint64_t x : test::SampleWords()) {
        EXPECT_TRUE(SameI128(SInt(x, 8), static_cast<int8_t>(x)));
        EXPECT_TRUE(SameI128(SInt(x, 16), static_cast<int16_t>(x)));
        EXPECT_TRUE(SameI128(SInt(x, 32), static_cast<int32_t>(x)));
        EXPECT_TRUE(SameI128(SInt(x, 64), static_cast<int64_t>(x)));
        for (int n : {0, 1, 7, 12, 63, 65, 128})
            EXPECT_TRUE(SameI128(SInt(x, n), 0)) << n;
    }
}

TEST(Int128Arithmetic, WrapsModulo2To128) {
    EXPECT_EQ(bits(Pow2(64) + 0x1234), 0x1234u);
    EXPECT_EQ(bits(-1), ~uint64_t{0});
    EXPECT_TRUE(SameI128(AbsInt(-5), 5));
    EXPECT_TRUE(SameI128(AbsInt(5), 5));
    EXPECT_TRUE(SameI128(AbsInt(kI128Min), kI128Min));
    EXPECT_TRUE(SameI128(NegInt(kI128Min), kI128Min));
    EXPECT_TRUE(SameI128(NegInt(7), -7));
    EXPECT_TRUE(SameI128(AddInt(kI128Max, 1), kI128Min));
    EXPECT_TRUE(SameI128(AddInt(-3, 10), 7));
    EXPECT_TRUE(SameI128(SubInt(kI128Min, 1), kI128Max));
    EXPECT_TRUE(SameI128(SubInt(3, 10), -7));
}

TEST(ShiftLeftInt, ArchitecturalExamples) {
    EXPECT_TRUE(SameI128(ShiftLeftInt(1, 64), Pow2(64)));
    EXPECT_TRUE(SameI128(ShiftLeftInt(1, 100), ShiftLeftInt(1, 64)));
    EXPECT_EQ(bits(ShiftLeftInt(0x1234, 1000)), 0u);
    // Bits above 127 are dropped.
    EXPECT_TRUE(SameI128(ShiftLeftInt(Pow2(100) + 1, 64), Pow2(64)));
    // A negative count shifts right arithmetically.
    EXPECT_TRUE(SameI128(ShiftLeftInt(-8, -2), -2));
    EXPECT_TRUE(SameI128(ShiftLeftInt(-8, -200), -1));
    EXPECT_TRUE(SameI128(ShiftLeftInt(1, kI128Min), 0));
}

TEST(ShiftLeftInt, MatchesDoublingUpTo64) {
    for (uint64_t x : test::SampleWords()) {
        i128 v = static_cast<int64_t>(x);
        u128 expected = static_cast<u128>(v);
        for (int s = 0; s <= 64; ++s) {
            ASSERT_TRUE(SameI128(ShiftLeftInt(v, s), static_cast<i128>(expected))) << "s=" << s;
            expected *= 2;
        }
    }
}

TEST(ShiftRightInt, ArchitecturalExamples) {
    EXPECT_TRUE(SameI128(ShiftRightInt(-1, 200), -1));
    EXPECT_TRUE(SameI128(ShiftRightInt(5, 70), 0));
    EXPECT_TRUE(SameI128(ShiftRightInt(-7, 1), -4));
    EXPECT_TRUE(SameI128(ShiftRightInt(3, -4), 48));
}

TEST(ShiftRightInt, CountOf128TestsTheTopTwoBits) {
    struct Case {
        i128 v;
        i128 expected;
    } cases[] = {
        {-1, -1},       {kI128Min + Pow2(126), -1}, // bits 127 and 126
        {kI128Min, 0}, // bit 127 alone: not the sign fill an ordinary shift gives
        {Pow2(126), 0}, {5, 0},
    };
    for (const Case &c : cases) {
        EXPECT_TRUE(SameI128(ShiftRightInt(c.v, 128), c.expected)) << test::Hex128(c.v);
    }
}

TEST(ShiftRightInt, CountsAbove65ActAs65) {
    for (i128 s : {i128{66}, i128{100}, i128{127}, i128{129}, i128{1000}, Pow2(100)}) {
        EXPECT_TRUE(SameI128(ShiftRightInt(kI128Min, s), -Pow2(62)));
        EXPECT_TRUE(SameI128(ShiftRightInt(Pow2(120), s), Pow2(55)));
    }
}

TEST(ShiftRightInt, MatchesFloorHalvingUpTo65AndSignFillBeyond) {
    for (uint64_t x : test::SampleWords()) {
        for (i128 v : {i128{static_cast<int64_t>(x)}, i128{x}}) {
            for (int s = 0; s <= 65; ++s) {
                ASSERT_TRUE(SameI128(ShiftRightInt(v, s), NaiveShiftRight(v, s))) << "s=" << s;
            }
            for (int s : {66, 127, 128, 129, 500}) {
                ASSERT_TRUE(SameI128(ShiftRightInt(v, s), v < 0 ? -1 : 0)) << "s=" << s;
            }
        }
    }
}

TEST(ShiftLeft, CountIsTakenModulo64) {
    EXPECT_EQ(ShiftLeft(1, 3, 8), 8u);
    EXPECT_EQ(ShiftLeft(1, 65, 8), 2u);
    EXPECT_EQ(ShiftLeft(0xabc, 64, 64), 0xabcu);
    EXPECT_EQ(ShiftLeft(1, 63, 64), uint64_t{1} << 63);
}

TEST(MaxMin, SignBoundaries) {
    struct Case {
        uint64_t a, b;
        int n, is_unsigned;
        uint64_t max, min;
    } cases[] = {
        {0x80, 0x7F, 8, kSigned, 0x7F, 0x80},
        {0x80, 0x7F, 8, kUnsigned, 0x80, 0x7F},
        {0x80, 0x7F, 8, 2, 0x7F, 0x80}, // not 1: signed
        {0x8000, 0x7FFF, 16, kSigned, 0x7FFF, 0x8000},
        {0x8000, 0x7FFF, 16, kUnsigned, 0x8000, 0x7FFF},
        {0x80000000, 0x7FFFFFFF, 32, kSigned, 0x7FFFFFFF, 0x80000000},
        {0x80000000, 0x7FFFFFFF, 32, kUnsigned, 0x80000000, 0x7FFFFFFF},
        {1ULL << 63, (1ULL << 63) - 1, 64, kSigned, (1ULL << 63) - 1, 1ULL << 63},
        {1ULL << 63, (1ULL << 63) - 1, 64, kUnsigned, 1ULL << 63, (1ULL << 63) - 1},
        {~0ULL, 0, 64, kSigned, 0, ~0ULL},
        {~0ULL, 0, 64, kUnsigned, ~0ULL, 0},
        // Upper bits take no part in the comparison but come back with the winner.
        {0xAB7F, 0xCD80, 8, kSigned, 0xAB7F, 0xCD80},
        {0xAB7F, 0xCD80, 8, kUnsigned, 0xCD80, 0xAB7F},
        {0xFFFF0001, 0x00000002, 16, kUnsigned, 0x00000002, 0xFFFF0001},
        // Ties return a.
        {0x1FF, 0x2FF, 8, kSigned, 0x1FF, 0x1FF},
        {0x1FF, 0x2FF, 8, kUnsigned, 0x1FF, 0x1FF},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Max(c.a, c.b, c.n, c.is_unsigned), c.max)
            << std::hex << c.a << " " << c.b << " N=" << std::dec << c.n;
        EXPECT_EQ(Min(c.a, c.b, c.n, c.is_unsigned), c.min)
            << std::hex << c.a << " " << c.b << " N=" << std::dec << c.n;
    }
}

TEST(MaxMin, OtherWidthsGiveZero) {
    for (int n : {0, 1, 7, 24, 63, 128}) {
        EXPECT_EQ(Max(5, 9, n, kSigned), 0u) << n;
        EXPECT_EQ(Min(5, 9, n, kUnsigned), 0u) << n;
    }
}

TEST(MaxMin, MatchNativeComparisons) {
    auto words = test::SampleWords();
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        uint64_t a = words[i], b = words[i + 1];
        struct Width {
            int n;
            int64_t sa, sb;
            uint64_t ua, ub;
        } widths[] = {
            {8, int8_t(a), int8_t(b), uint8_t(a), uint8_t(b)},
            {16, int16_t(a), int16_t(b), uint16_t(a), uint16_t(b)},
            {32, int32_t(a), int32_t(b), uint32_t(a), uint32_t(b)},
            {64, int64_t(a), int64_t(b), a, b},
        };
        for (const Width &w : widths) {
            ASSERT_EQ(Max(a, b, w.n, kSigned), w.sa >= w.sb ? a : b) << w.n;
            ASSERT_EQ(Min(a, b, w.n, kSigned), w.sa <= w.sb ? a : b) << w.n;
            ASSERT_EQ(Max(a, b, w.n, kUnsigned), w.ua >= w.ub ? a : b) << w.n;
            ASSERT_EQ(Min(a, b, w.n, kUnsigned), w.ua <= w.ub ? a : b) << w.n;
        }
    }
}

} // namespace
} // namespace ostrel
