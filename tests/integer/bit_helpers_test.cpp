#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "sve/exec/integer/bit_helpers.h"
#include "tests/integer/int128_test_support.h"

namespace ostrel {
namespace {

bool Bit(uint64_t x, int i) {
    return i < 64 && ((x >> i) & 1);
}

int NaiveHighestBitSet(uint64_t x, int n) {
    for (int i = n - 1; i >= 0; --i) {
        if (Bit(x, i)) return i;
    }
    return -1;
}

int NaiveLeadingZeros(uint64_t x, int n) {
    int count = 0;
    for (int i = n - 1; i >= 0 && !Bit(x, i); --i)
        ++count;
    return count;
}

// Bits below the sign bit that repeat it.
int NaiveLeadingSignBits(uint64_t x, int n) {
    int count = 0;
    for (int i = n - 2; i >= 0 && Bit(x, i) == Bit(x, n - 1); --i)
        ++count;
    return count;
}

uint64_t NaiveBitCount(uint64_t x, int n) {
    uint64_t count = 0;
    for (int i = 0; i < n; ++i)
        count += Bit(x, i);
    return count;
}

uint64_t NaiveBitReverse(uint64_t x, int n) {
    uint64_t result = 0;
    for (int i = 0; i < n; ++i) {
        int to = n - 1 - i;
        if (Bit(x, i) && to < 64) result |= uint64_t{1} << to;
    }
    return result;
}

// Reverses u-byte groups of the low N/8 bytes through a byte array.
uint64_t NaiveReverse(uint64_t x, int n, int u) {
    int count = n / 8 / u;
    std::vector<uint8_t> bytes(n / 8);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(x >> (8 * i));
    std::vector<uint8_t> out(bytes.size(), 0);
    for (int k = 0; k < count; ++k) {
        std::copy_n(bytes.begin() + k * u, u, out.begin() + (count - 1 - k) * u);
    }
    uint64_t result = 0;
    for (size_t i = 0; i < out.size() && i < 8; ++i)
        result |= uint64_t(out[i]) << (8 * i);
    return result;
}

TEST(BitFunctions, ArchitecturalExamples) {
    EXPECT_EQ(CountLeadingZeroBits(0, 16), 16);
    EXPECT_EQ(CountLeadingZeroBits(0, 0), 0);
    EXPECT_EQ(CountLeadingZeroBits(0x100, 8), 8); // bits above N are ignored
    EXPECT_EQ(CountLeadingSignBits(0xFFFF, 16), 15);
    EXPECT_EQ(CountLeadingSignBits(0x4000, 16), 0);
    EXPECT_EQ(CountLeadingSignBits(0, 16), 15);
    EXPECT_EQ(CountLeadingSignBits(0x8000, 16), 0);
    // The difference word has no bit 63: a 64-bit x has nothing above bit 63 to compare with.
    EXPECT_EQ(CountLeadingSignBits(1ULL << 63, 65), 1);
    EXPECT_EQ(HighestBitSet(0, 64), -1);
    EXPECT_EQ(HighestBitSet(~0ULL, 0), -1);
    EXPECT_EQ(HighestBitSet(~0ULL, -5), -1);
    EXPECT_EQ(HighestBitSet(0x100, 8), -1);
    EXPECT_EQ(HighestBitSet(1ULL << 63, 64), 63);
    EXPECT_EQ(BitCount(~0ULL, 0), 0u);
    EXPECT_EQ(BitCount(~0ULL, 64), 64u);
    EXPECT_EQ(BitReverse(1, 8), 0x80u);
    EXPECT_EQ(BitReverse(~0ULL, 0), 0u);
    EXPECT_EQ(BitReverse(0x0F00, 8), 0u);
    EXPECT_EQ(BitReverse(1, 64), 1ULL << 63);
}

TEST(BitFunctions, MatchBitLoopsForEveryWidth) {
    for (uint64_t x : test::SampleWords()) {
        for (int n = 1; n <= 64; ++n) {
            ASSERT_EQ(HighestBitSet(x, n), NaiveHighestBitSet(x, n))
                << std::hex << x << " N=" << std::dec << n;
            ASSERT_EQ(CountLeadingZeroBits(x, n), NaiveLeadingZeros(x, n))
                << std::hex << x << " N=" << std::dec << n;
            ASSERT_EQ(CountLeadingSignBits(x, n), NaiveLeadingSignBits(x, n))
                << std::hex << x << " N=" << std::dec << n;
            ASSERT_EQ(BitCount(x, n), NaiveBitCount(x, n))
                << std::hex << x << " N=" << std::dec << n;
            ASSERT_EQ(BitReverse(x, n), NaiveBitReverse(x, n))
                << std::hex << x << " N=" << std::dec << n;
        }
    }
}

TEST(BitReverse, WidthsBeyond64KeepWhatLandsInTheLowWord) {
    for (uint64_t x : test::SampleWords()) {
        for (int n : {65, 80, 127, 128, 200}) {
            ASSERT_EQ(BitReverse(x, n), NaiveBitReverse(x, n))
                << std::hex << x << " N=" << std::dec << n;
        }
    }
}

TEST(Reverse, ArchitecturalExamples) {
    EXPECT_EQ(Reverse(0x0102030405060708ULL, 64, 1), 0x0807060504030201ULL);
    EXPECT_EQ(Reverse(0x0102030405060708ULL, 64, 2), 0x0708050603040102ULL);
    EXPECT_EQ(Reverse(0x0102030405060708ULL, 64, 4), 0x0506070801020304ULL);
    EXPECT_EQ(Reverse(0xFF1234, 16, 1), 0x3412u); // bits above N are dropped
    EXPECT_EQ(Reverse(0x12345678, 32, 2), 0x56781234u);
    EXPECT_EQ(Reverse(0xAB, 8, 1), 0xABu);
}

TEST(Reverse, UnsupportedUnitsOrTooFewUnitsGiveZero) {
    const uint64_t x = 0x0102030405060708ULL;
    for (int u : {0, 3, 8, -1})
        EXPECT_EQ(Reverse(x, 64, u), 0u) << "u=" << u;
    EXPECT_EQ(Reverse(x, 8, 2), 0u);
    EXPECT_EQ(Reverse(x, 16, 4), 0u);
    EXPECT_EQ(Reverse(x, 0, 1), 0u);
    EXPECT_EQ(Reverse(x, -64, 1), 0u);
}

TEST(Reverse, MatchesByteArrayReversal) {
    for (uint64_t x : test::SampleWords()) {
        for (int u : {1, 2, 4}) {
            for (int n : {8, 16, 24, 32, 48, 64}) {
                if (n / 8 / u < 1) continue;
                ASSERT_EQ(Reverse(x, n, u), NaiveReverse(x, n, u))
                    << std::hex << x << std::dec << " N=" << n << " u=" << u;
            }
        }
    }
}

TEST(PolynomialMult, KnownProducts) {
    using test::Pow2;
    EXPECT_EQ(PolynomialMult(3, 3), u128{5}); // (x + 1)^2 = x^2 + 1 over GF(2)
    EXPECT_EQ(PolynomialMult(0, ~0ULL), u128{0});
    EXPECT_EQ(PolynomialMult(~0ULL, 1), u128{~0ULL});
    // (sum of x^i)^2 = sum of x^(2i): every even bit of the 128-bit result.
    u128 even_bits = (u128{0x5555555555555555ULL} << 64) | 0x5555555555555555ULL;
    EXPECT_TRUE(PolynomialMult(~0ULL, ~0ULL) == even_bits);
    EXPECT_TRUE(PolynomialMult(1ULL << 63, 1ULL << 63) == static_cast<u128>(Pow2(126)));
}

// A carry-less product is fixed by its values on single bits and by linearity over XOR.
TEST(PolynomialMult, IsLinearAndShiftsBySingleBits) {
    auto words = test::SampleWords();
    for (size_t i = 0; i + 2 < words.size(); i += 3) {
        uint64_t a = words[i], b = words[i + 1], c = words[i + 2];
        ASSERT_TRUE(PolynomialMult(a, b ^ c) == (PolynomialMult(a, b) ^ PolynomialMult(a, c)));
        ASSERT_TRUE(PolynomialMult(a, b) == PolynomialMult(b, a));
        int k = int(c & 63);
        ASSERT_TRUE(PolynomialMult(a, uint64_t{1} << k) == (u128{a} << k)) << k;
    }
}

} // namespace
} // namespace ostrel
