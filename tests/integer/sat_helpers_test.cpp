#include <algorithm>
#include <cstdint>

#include <gtest/gtest.h>

#include "sve/exec/integer/sat_helpers.h"
#include "tests/integer/int128_test_support.h"

namespace ostrel {
namespace {

using test::Pow2;

// Plain clamp of an exact value into the N-bit range, on int64_t (N <= 32 here).
struct Clamped {
    int64_t value;
    bool saturated;
};

Clamped Clamp(int64_t v, int n, bool is_unsigned) {
    int64_t lo = is_unsigned ? 0 : -(int64_t{1} << (n - 1));
    int64_t hi = is_unsigned ? (int64_t{1} << n) - 1 : (int64_t{1} << (n - 1)) - 1;
    int64_t c = std::min(std::max(v, lo), hi);
    return {c, c != v};
}

uint64_t LowBits(int64_t v, int n) {
    return static_cast<uint64_t>(v) & ((uint64_t{1} << n) - 1);
}

struct SatCase {
    i128 v;
    int n, is_unsigned;
    uint64_t value;
    bool saturated;
};

void ExpectSat(SatResult got, uint64_t value, bool saturated, const std::string &what) {
    EXPECT_EQ(got.value, value) << what;
    EXPECT_EQ(got.saturated, saturated) << what;
}

TEST(SatQ, ArchitecturalExamples) {
    const SatCase cases[] = {
        {200, 8, kSigned, 127, true},
        {-200, 8, kSigned, 0x80, true}, // the N-bit pattern of the minimum, not sign-extended
        {-5, 8, kSigned, 0xFB, false},
        {-128, 8, kSigned, 0x80, false},
        {127, 8, kSigned, 0x7F, false},
        {-1, 8, kUnsigned, 0, true},
        {255, 8, kUnsigned, 255, false},
        {256, 8, kUnsigned, 255, true},
        {200, 8, 2, 127, true}, // only 1 selects unsigned
        {Pow2(63), 64, kSigned, 0x7FFFFFFFFFFFFFFFULL, true},
        {Pow2(63) - 1, 64, kSigned, 0x7FFFFFFFFFFFFFFFULL, false},
        {-Pow2(63), 64, kSigned, 0x8000000000000000ULL, false},
        {-Pow2(63) - 1, 64, kSigned, 0x8000000000000000ULL, true},
        {-Pow2(100), 64, kSigned, 0x8000000000000000ULL, true},
        {Pow2(64) - 1, 64, kUnsigned, ~0ULL, false},
        {Pow2(64), 64, kUnsigned, ~0ULL, true},
        {-Pow2(120), 64, kUnsigned, 0, true},
        {Pow2(31), 32, kSigned, 0x7FFFFFFF, true},
        {-Pow2(31) - 1, 32, kSigned, 0x80000000, true},
        {-1, 32, kSigned, 0xFFFFFFFF, false},
        {Pow2(32), 32, kUnsigned, 0xFFFFFFFF, true},
    };
    for (const SatCase &c : cases) {
        ExpectSat(SatQ(c.v, c.n, c.is_unsigned), c.value, c.saturated,
                  test::Hex128(c.v) + " N=" + std::to_string(c.n) +
                      " unsigned=" + std::to_string(c.is_unsigned));
    }
}

TEST(SatQ, MatchesClampForNarrowWidths) {
    for (int n : {1, 5, 8, 16}) {
        for (int64_t v = -70000; v <= 70000; ++v) {
            for (bool is_unsigned : {false, true}) {
                Clamped want = Clamp(v, n, is_unsigned);
                SatResult got = SatQ(v, n, is_unsigned ? kUnsigned : kSigned);
                ASSERT_EQ(got.value, LowBits(want.value, n)) << v << " N=" << n;
                ASSERT_EQ(got.saturated, want.saturated) << v << " N=" << n;
            }
        }
    }
}

TEST(SatAdd, ArchitecturalExamples) {
    EXPECT_EQ(SatAdd(0x7F, 1, 8, kSigned), 0x7Fu);
    EXPECT_EQ(SatAdd(0x80, 0xFF, 8, kSigned), 0x80u);
    EXPECT_EQ(SatAdd(0xFF, 1, 8, kUnsigned), 0xFFu);
    // Bits above N are ignored on input.
    EXPECT_EQ(SatAdd(0xFF01, 0x02, 8, kUnsigned), 3u);
    // An unsaturated negative sum comes back as the exact sum's low 64 bits.
    EXPECT_EQ(SatAdd(0xFF, 0xFF, 8, kSigned), 0xFFFFFFFFFFFFFFFEULL);
    EXPECT_EQ(SatAdd(1ULL << 63, ~0ULL, 64, kSigned), 1ULL << 63);
    EXPECT_EQ(SatAdd(~0ULL, 1, 64, kUnsigned), ~0ULL);
}

TEST(SatAddSub, MatchClampOverAllByteOperands) {
    for (uint64_t a = 0; a < 256; ++a) {
        for (uint64_t b = 0; b < 256; ++b) {
            int64_t sa = int8_t(a), sb = int8_t(b);
            Clamped sum = Clamp(sa + sb, 8, false);
            uint64_t want_sum = sum.saturated ? LowBits(sum.value, 8) : uint64_t(sum.value);
            ASSERT_EQ(SatAdd(a, b, 8, kSigned), want_sum) << a << "+" << b;

            Clamped usum = Clamp(int64_t(a + b), 8, true);
            ASSERT_EQ(SatAdd(a, b, 8, kUnsigned), uint64_t(usum.value)) << a << "+" << b;

            Clamped diff = Clamp(sa - sb, 8, false);
            SatResult got = SatSub(a, b, 8, kSigned);
            ASSERT_EQ(got.value, LowBits(diff.value, 8)) << a << "-" << b;
            ASSERT_EQ(got.saturated, diff.saturated) << a << "-" << b;

            Clamped udiff = Clamp(int64_t(a) - int64_t(b), 8, true);
            got = SatSub(a, b, 8, kUnsigned);
            ASSERT_EQ(got.value, uint64_t(udiff.value)) << a << "-" << b;
            ASSERT_EQ(got.saturated, udiff.saturated) << a << "-" << b;
        }
    }
}

TEST(SatSub, ArchitecturalExamples) {
    ExpectSat(SatSub(0, 1, 8, kUnsigned), 0, true, "0-1 unsigned");
    ExpectSat(SatSub(0x80, 1, 8, kSigned), 0x80, true, "-128-1");
    ExpectSat(SatSub(0, 1, 8, kSigned), 0xFF, false, "0-1 signed");
    ExpectSat(SatSub(1ULL << 63, 1, 64, kSigned), 1ULL << 63, true, "min64-1");
    ExpectSat(SatSub(0, 1ULL << 63, 64, kSigned), (1ULL << 63) - 1, true, "0-min64");
}

TEST(SatMult, MatchesClampOverAllByteOperands) {
    for (uint64_t a = 0; a < 256; ++a) {
        for (uint64_t b = 0; b < 256; ++b) {
            Clamped s = Clamp(int64_t(int8_t(a)) * int8_t(b), 8, false);
            ASSERT_EQ(SatMult(a, b, 8, kSigned), LowBits(s.value, 8)) << a << "*" << b;
            Clamped u = Clamp(int64_t(a * b), 8, true);
            ASSERT_EQ(SatMult(a, b, 8, kUnsigned), uint64_t(u.value)) << a << "*" << b;
        }
    }
}

TEST(SatMult, SixtyFourBitProductsAreExact) {
    EXPECT_EQ(SatMult(~0ULL, ~0ULL, 64, kUnsigned), ~0ULL);
    EXPECT_EQ(SatMult(1ULL << 32, 1ULL << 31, 64, kUnsigned), 1ULL << 63);
    EXPECT_EQ(SatMult(1ULL << 32, 1ULL << 32, 64, kUnsigned), ~0ULL);
    EXPECT_EQ(SatMult(1ULL << 63, ~0ULL, 64, kSigned), (1ULL << 63) - 1); // min * -1
    EXPECT_EQ(SatMult(1ULL << 63, 1ULL << 63, 64, kSigned), (1ULL << 63) - 1);
    EXPECT_EQ(SatMult(1ULL << 63, 1, 64, kSigned), 1ULL << 63);
    EXPECT_EQ(SatMult(~0ULL, 5, 64, kSigned), uint64_t(-5));
}

TEST(SatQShift, DiffersFromSatQInWidthTruncationAndMinimum) {
    const SatCase cases[] = {
        {200, 8, kSigned, 127, true},
        {-200, 8, kSigned, 0xFFFFFFFFFFFFFF80ULL, true}, // minimum sign-extended
        {-5, 8, kSigned, 0xFFFFFFFFFFFFFFFBULL, false},  // in range: not truncated
        {-1, 8, kUnsigned, 0, true},
        {256, 8, kUnsigned, 255, true},
        {Pow2(70), 80, kSigned, 0, false}, // low 64 bits of an in-range value
        {Pow2(70) + 9, 80, kSigned, 9, false},
        {Pow2(79), 80, kSigned, ~0ULL, true},
        {-Pow2(79), 80, kSigned, 0, false},
        {-Pow2(79) - 1, 80, kSigned, 0, true}, // low word of -2^79
        {-Pow2(100), 80, kSigned, 0, true},
        {Pow2(99) + 3, 100, kUnsigned, 3, false},
        {Pow2(100), 100, kUnsigned, ~0ULL, true},
        {test::kI128Max, 127, kUnsigned, ~0ULL, false},
        {test::kI128Min, 128, kSigned, 0, false},
        {test::kI128Min, 127, kSigned, 0, true},
    };
    for (const SatCase &c : cases) {
        ExpectSat(SatQShift(c.v, c.n, c.is_unsigned), c.value, c.saturated,
                  test::Hex128(c.v) + " N=" + std::to_string(c.n) +
                      " unsigned=" + std::to_string(c.is_unsigned));
    }
}

TEST(SatQShift, MatchesClampForNarrowWidths) {
    for (int n : {8, 16}) {
        for (int64_t v = -70000; v <= 70000; ++v) {
            Clamped s = Clamp(v, n, false);
            SatResult got = SatQShift(v, n, kSigned);
            ASSERT_EQ(got.value, uint64_t(s.value)) << v;
            ASSERT_EQ(got.saturated, s.saturated) << v;
            Clamped u = Clamp(v, n, true);
            got = SatQShift(v, n, kUnsigned);
            ASSERT_EQ(got.value, uint64_t(u.value)) << v;
            ASSERT_EQ(got.saturated, u.saturated) << v;
        }
    }
}

TEST(ShiftQLeftInt, ArchitecturalCases) {
    struct Case {
        i128 v, s;
        int n, is_unsigned;
        uint64_t value;
        bool saturated;
    } cases[] = {
        {-16, -2, 8, kSigned, uint64_t(-4), false}, // negative count: plain arithmetic shift
        {1, -200, 8, kUnsigned, 0, false},
        {0, 8, 8, kSigned, 0, false}, // zero never saturates
        {0, 1000, 8, kUnsigned, 0, false},
        {1, 8, 8, kUnsigned, 255, true},
        {-1, 9, 8, kUnsigned, 255, true}, // the unsigned limit even for a negative value
        {3, 8, 8, kSigned, 127, true},
        {-3, 8, 8, kSigned, uint64_t(-128), true},
        {-3, 64, 64, kSigned, 1ULL << 63, true},
        {1, 7, 8, kSigned, 127, true},
        {1, 7, 8, kUnsigned, 128, false},
        {-1, 7, 8, kSigned, uint64_t(-128), false},
        {1, 63, 64, kUnsigned, 1ULL << 63, false},
        {1, 63, 64, kSigned, (1ULL << 63) - 1, true},
    };
    for (const Case &c : cases) {
        SatResult got = ShiftQLeftInt(c.v, c.s, c.n, c.is_unsigned);
        EXPECT_EQ(got.value, c.value) << test::Hex128(c.v) << " << " << test::Hex128(c.s);
        EXPECT_EQ(got.saturated, c.saturated) << test::Hex128(c.v) << " << " << test::Hex128(c.s);
    }
}

TEST(ShiftQLeftInt, MatchesExactShiftAndClampForBytes) {
    for (int64_t v = -128; v <= 255; ++v) {
        for (int s = -10; s <= 12; ++s) {
            for (bool is_unsigned : {false, true}) {
                SatResult got = ShiftQLeftInt(v, s, 8, is_unsigned ? kUnsigned : kSigned);
                if (s < 0) {
                    int64_t floor_shift = v >= 0 ? v >> -s : -((-v + (int64_t{1} << -s) - 1) >> -s);
                    ASSERT_EQ(got.value, uint64_t(floor_shift)) << v << " s=" << s;
                    ASSERT_FALSE(got.saturated);
                    continue;
                }
                Clamped want = Clamp(v * (int64_t{1} << s), 8, is_unsigned);
                if (s >= 8 && is_unsigned && v != 0) want = {255, true};
                ASSERT_EQ(got.value, uint64_t(want.value)) << v << " s=" << s << " " << is_unsigned;
                ASSERT_EQ(got.saturated, want.saturated) << v << " s=" << s << " " << is_unsigned;
            }
        }
    }
}

} // namespace
} // namespace ostrel
