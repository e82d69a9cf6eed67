// The 128-bit shift and saturation helpers at their limits: counts past the element width, the
// count of 128, negative counts, and results on either side of every saturation bound. Random
// operands of the instructions built on them practically never land there.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "sve/exec/integer/sat_helpers.h"

namespace ostrel {
namespace {

constexpr i128 kMax128 = static_cast<i128>(~u128{0} >> 1);
constexpr i128 kMin128 = -kMax128 - 1;
constexpr uint64_t kTop = uint64_t{1} << 63;

i128 pow2(int k) {
    return static_cast<i128>(u128{1} << k);
}

// gtest cannot print __int128.
std::string hex(i128 v) {
    const u128 u = static_cast<u128>(v);
    char text[40];
    std::snprintf(text, sizeof text, "0x%016llx%016llx", static_cast<unsigned long long>(u >> 64),
                  static_cast<unsigned long long>(u));
    return text;
}

TEST(ShiftInt128, CountsAtAndBeyondTheWidth) {
    struct Case {
        const char *what;
        i128 (*shift)(i128, i128);
        i128 v, s, want;
    } cases[] = {
        {"left by 64", ShiftLeftInt, 1, 64, pow2(64)},
        {"left past 64 acts as 64", ShiftLeftInt, 1, 100, pow2(64)},
        {"left drops bits above 127", ShiftLeftInt, pow2(100) + 1, 64, pow2(64)},
        {"left by a negative count", ShiftLeftInt, -8, -2, -2},
        {"left by a huge negative count", ShiftLeftInt, -8, -200, -1},
        {"left by the most negative count", ShiftLeftInt, 1, kMin128, 0},
        {"right by 128, bits 127 and 126 set", ShiftRightInt, kMin128 + pow2(126), 128, -1},
        {"right by 128, bit 127 alone", ShiftRightInt, kMin128, 128, 0},
        {"right by 128, bit 126 alone", ShiftRightInt, pow2(126), 128, 0},
        {"right by 65", ShiftRightInt, kMin128, 65, -pow2(62)},
        {"right by 66 acts as 65", ShiftRightInt, kMin128, 66, -pow2(62)},
        {"right by 129 acts as 65", ShiftRightInt, pow2(120), 129, pow2(55)},
        {"right by 2^100 acts as 65", ShiftRightInt, pow2(120), pow2(100), pow2(55)},
        {"right of -1 by 200", ShiftRightInt, -1, 200, -1},
        {"right floors", ShiftRightInt, -7, 1, -4},
        {"right by a negative count", ShiftRightInt, 3, -4, 48},
    };
    for (const Case &c : cases)
        EXPECT_EQ(hex(c.shift(c.v, c.s)), hex(c.want)) << c.what;
}

TEST(Int128Arithmetic, WrapsAtTheLimits) {
    EXPECT_EQ(hex(NegInt(kMin128)), hex(kMin128));
    EXPECT_EQ(hex(AbsInt(kMin128)), hex(kMin128));
    EXPECT_EQ(hex(AddInt(kMax128, 1)), hex(kMin128));
    EXPECT_EQ(hex(SubInt(kMin128, 1)), hex(kMax128));
}

struct SatCase {
    const char *what;
    SatResult got;
    uint64_t value;
    bool saturated;
};

void check(const SatCase &c) {
    EXPECT_EQ(c.got.value, c.value) << c.what;
    EXPECT_EQ(c.got.saturated, c.saturated) << c.what;
}

TEST(Saturation, EitherSideOfEveryBound) {
    const SatCase cases[] = {
        {"SatQ signed 64 max", SatQ(pow2(63) - 1, 64, kSigned), kTop - 1, false},
        {"SatQ signed 64 max + 1", SatQ(pow2(63), 64, kSigned), kTop - 1, true},
        {"SatQ signed 64 min", SatQ(-pow2(63), 64, kSigned), kTop, false},
        {"SatQ signed 64 min - 1", SatQ(-pow2(63) - 1, 64, kSigned), kTop, true},
        {"SatQ unsigned 64 max", SatQ(pow2(64) - 1, 64, kUnsigned), ~0ull, false},
        {"SatQ unsigned 64 max + 1", SatQ(pow2(64), 64, kUnsigned), ~0ull, true},
        {"SatQ unsigned below 0", SatQ(-pow2(120), 64, kUnsigned), 0, true},
        // The minimum comes back as an N-bit pattern, not sign-extended.
        {"SatQ signed 8 min - 1", SatQ(-129, 8, kSigned), 0x80, true},
        {"SatQ selector 2 is signed", SatQ(200, 8, 2), 0x7f, true},
        {"SatSub 64 min - 1", SatSub(kTop, 1, 64, kSigned), kTop, true},
        {"SatSub 0 - 64 min", SatSub(0, kTop, 64, kSigned), kTop - 1, true},
        {"SatSub unsigned 0 - 1", SatSub(0, 1, 8, kUnsigned), 0, true},
        // SatQShift: limits in 128 bits, an in-range value untruncated, the minimum extended.
        {"SatQShift signed 8 min - 1", SatQShift(-200, 8, kSigned), 0xffffffffffffff80ull, true},
        {"SatQShift in range", SatQShift(-5, 8, kSigned), 0xfffffffffffffffbull, false},
        {"SatQShift 80 max + 1", SatQShift(pow2(79), 80, kSigned), ~0ull, true},
        {"SatQShift 80 min", SatQShift(-pow2(79), 80, kSigned), 0, false},
        {"SatQShift 80 min - 1", SatQShift(-pow2(79) - 1, 80, kSigned), 0, true},
        {"SatQShift unsigned 100 max + 1", SatQShift(pow2(100), 100, kUnsigned), ~0ull, true},
        {"SatQShift unsigned 127", SatQShift(kMax128, 127, kUnsigned), ~0ull, false},
        {"SatQShift signed 128 min", SatQShift(kMin128, 128, kSigned), 0, false},
        {"SatQShift signed 127 min", SatQShift(kMin128, 127, kSigned), 0, true},
        // Saturating shifts: zero never saturates, the unsigned limit holds for negative values.
        {"ShiftQLeftInt 0 by 1000", ShiftQLeftInt(0, 1000, 8, kUnsigned), 0, false},
        {"ShiftQLeftInt -1 by 9 unsigned", ShiftQLeftInt(-1, 9, 8, kUnsigned), 0xff, true},
        {"ShiftQLeftInt 1 by 7 signed", ShiftQLeftInt(1, 7, 8, kSigned), 0x7f, true},
        {"ShiftQLeftInt 1 by 7 unsigned", ShiftQLeftInt(1, 7, 8, kUnsigned), 0x80, false},
        {"ShiftQLeftInt -1 by 7 signed", ShiftQLeftInt(-1, 7, 8, kSigned), uint64_t(-128), false},
        {"ShiftQLeftInt -3 by 64", ShiftQLeftInt(-3, 64, 64, kSigned), kTop, true},
        {"ShiftQLeftInt 1 by 63 signed", ShiftQLeftInt(1, 63, 64, kSigned), kTop - 1, true},
        {"ShiftQLeftInt 1 by 63 unsigned", ShiftQLeftInt(1, 63, 64, kUnsigned), kTop, false},
        {"ShiftQLeftInt by -2 shifts right", ShiftQLeftInt(-16, -2, 8, kSigned), uint64_t(-4),
         false},
        {"ShiftQLeftInt by -200", ShiftQLeftInt(1, -200, 8, kUnsigned), 0, false},
    };
    for (const SatCase &c : cases)
        check(c);
}

// Products of 64-bit operands exceed i128 when unsigned; they must still clamp, not wrap.
TEST(Saturation, SixtyFourBitProducts) {
    struct Case {
        uint64_t a, b;
        int is_unsigned;
        uint64_t want;
    } cases[] = {
        {~0ull, ~0ull, kUnsigned, ~0ull},
        {1ull << 32, 1ull << 31, kUnsigned, kTop},
        {1ull << 32, 1ull << 32, kUnsigned, ~0ull},
        {kTop, ~0ull, kSigned, kTop - 1}, // min * -1
        {kTop, kTop, kSigned, kTop - 1},
        {kTop, 1, kSigned, kTop},
        {~0ull, 5, kSigned, uint64_t(-5)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SatMult(c.a, c.b, 64, c.is_unsigned), c.want)
            << std::hex << c.a << " * " << c.b << (c.is_unsigned ? " unsigned" : " signed");
}

} // namespace
} // namespace ostrel
