// Integer helpers of the architecture's pseudocode (Int, UInt, SInt, the 128-bit arithmetic,
// Max/Min) on 64-bit element words. Element values travel as uint64_t; only the low N bits
// carry meaning. Everything here is per-element work in hot loops, so it stays inline.
#pragma once

#include <cstdint>

namespace ostrel {

using i128 = __int128;
using u128 = unsigned __int128;

// The pseudocode's `unsigned` selector: exactly 1 selects unsigned, anything else signed.
constexpr int kUnsigned = 1;
constexpr int kSigned = 0;

// Mask of the low N bits; N >= 64 gives all ones, N <= 0 gives 0.
inline uint64_t ones(int n) {
    if (n <= 0) return 0;
    if (n >= 64) return ~uint64_t{0};
    return (uint64_t{1} << n) - 1;
}

// The low N bits of x as an integer, zero-extended when is_unsigned is 1, else sign-extended
// from bit N-1. Bits of x above N are ignored.
inline i128 Int(uint64_t x, int n, int is_unsigned) {
    if (n <= 0) return 0;
    uint64_t low = x & ones(n);
    if (is_unsigned == kUnsigned || n > 64) return static_cast<i128>(low);
    bool negative = (low >> (n - 1)) & 1;
    return negative ? static_cast<i128>(low) - (i128{1} << n) : static_cast<i128>(low);
}

inline i128 UInt(uint64_t x, int n) {
    return Int(x, n, kUnsigned);
}

// Only the architectural element widths are meaningful here; anything else yields 0.
inline i128 SInt(uint64_t x, int n) {
    switch (n) {
    case 8:
    case 16:
    case 32:
    case 64:
        return Int(x, n, kSigned);
    default:
        return 0;
    }
}

inline uint64_t bits(i128 v) {
    return static_cast<uint64_t>(v);
}

// The 128-bit arithmetic wraps modulo 2^128; it goes through u128 so that the wrap of the most
// negative value is defined behaviour rather than signed overflow.
inline i128 NegInt(i128 v) {
    return static_cast<i128>(-static_cast<u128>(v));
}
inline i128 AbsInt(i128 v) {
    return v < 0 ? NegInt(v) : v;
}
inline i128 AddInt(i128 a, i128 b) {
    return static_cast<i128>(static_cast<u128>(a) + static_cast<u128>(b));
}
inline i128 SubInt(i128 a, i128 b) {
    return static_cast<i128>(static_cast<u128>(a) - static_cast<u128>(b));
}

inline i128 ShiftRightInt(i128 v, i128 s);

// Shifts past 64 act as 64: the low 64 bits, all an element up to 64 bits wide can see, are
// then already zero.
inline i128 ShiftLeftInt(i128 v, i128 s) {
    if (s < 0) return ShiftRightInt(v, s < -256 ? i128{256} : -s);
    int amount = s > 64 ? 64 : static_cast<int>(s);
    return static_cast<i128>(static_cast<u128>(v) << amount);
}

// Arithmetic shift right. A count of exactly 128 keeps the architectural quirk of testing bits
// 127 and 126; every other count above 65 acts as 65, which already yields the sign fill for
// any value extended from 64 bits or fewer. A negative count shifts left instead.
inline i128 ShiftRightInt(i128 v, i128 s) {
    if (s < 0) return ShiftLeftInt(v, s < -256 ? i128{256} : -s);
    if (s == 128) {
        bool top_two_set = ((static_cast<u128>(v) >> 126) & 3) == 3;
        return top_two_set ? i128{-1} : i128{0};
    }
    int amount = s > 65 ? 65 : static_cast<int>(s);
    return v >> amount; // GCC shifts signed __int128 arithmetically
}

// x shifted left by s modulo 64; N is carried for uniformity with the other helpers.
inline uint64_t ShiftLeft(uint64_t x, int s, int /*n*/) {
    return x << (s & 63);
}

// Max and Min compare the low N bits as N-bit numbers but hand back the winning argument
// untouched, upper bits included; ties go to a. Non-element widths give 0.
inline bool IsElementWidth(int n) {
    return n == 8 || n == 16 || n == 32 || n == 64;
}

inline uint64_t Max(uint64_t a, uint64_t b, int n, int is_unsigned) {
    if (!IsElementWidth(n)) return 0;
    return Int(a, n, is_unsigned) >= Int(b, n, is_unsigned) ? a : b;
}

inline uint64_t Min(uint64_t a, uint64_t b, int n, int is_unsigned) {
    if (!IsElementWidth(n)) return 0;
    return Int(a, n, is_unsigned) <= Int(b, n, is_unsigned) ? a : b;
}

} // namespace ostrel
