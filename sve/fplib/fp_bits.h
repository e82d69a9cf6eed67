// Integer helpers shared by the operations: leading zeros, shifts that keep a sticky bit, and
// taking the top of a wide word.
#pragma once

#include "sve/fplib/fp_format.h"

#include <cstdint>

// The common cases of the hot operations are small; inlining them into element loops is the
// point of defining them in headers, and the compiler's size heuristics would decline.
#define FPLIB_ALWAYS_INLINE inline __attribute__((always_inline))

namespace ostrel::fplib {

template <class U> constexpr int bit_count = static_cast<int>(sizeof(U) * 8);

// Leading zeros of a non-zero value.
inline int leading_zeros(uint16_t x) {
    return __builtin_clz(x) - 16;
}
inline int leading_zeros(uint32_t x) {
    return __builtin_clz(x);
}
inline int leading_zeros(uint64_t x) {
    return __builtin_clzll(x);
}
inline int leading_zeros(u128 x) {
    const uint64_t high = static_cast<uint64_t>(x >> 64);
    return high ? __builtin_clzll(high) : 64 + __builtin_clzll(static_cast<uint64_t>(x));
}

// All ones when c holds, else zero: for selections by masks where a condition is as random as
// the data, since compilers turn conditional expressions into branches.
template <class U> inline U select_mask(bool c) {
    return static_cast<U>(U(0) - U(c));
}

// x >> n with bit 0 set when anything non-zero was shifted out ("jamming").
template <class U> inline U shift_right_jam(U x, int n) {
    if (n <= 0) return x;
    if (n >= bit_count<U>) return static_cast<U>(x != 0);
    return static_cast<U>((x >> n) | static_cast<U>((x & ((U(1) << n) - 1)) != 0));
}

// The top bit_count<T> bits of x (any width), with bit 0 set when a lower bit of x was set.
template <class T, class U> inline T top_bits_sticky(U x) {
    if constexpr (bit_count<U> <= bit_count<T>) {
        return static_cast<T>(static_cast<T>(x) << (bit_count<T> - bit_count<U>));
    } else {
        constexpr int drop = bit_count<U> - bit_count<T>;
        return static_cast<T>(static_cast<T>(x >> drop) |
                              static_cast<T>((x & ((U(1) << drop) - 1)) != 0));
    }
}

} // namespace ostrel::fplib
