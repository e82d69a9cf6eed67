// The three binary formats, described once so that every operation is written over the container.
#pragma once

#include "sve/fplib/fpscr.h"

#include <cstdint>

namespace ostrel::fplib {

using u128 = unsigned __int128;

template <class T> struct FPFormatBits;
template <> struct FPFormatBits<uint16_t> {
    static constexpr int exp_bits = 5;
    static constexpr int frac_bits = 10;
    static constexpr int flush_mode = FPLIB_FZ16;
    static constexpr bool flush_sets_idc = false; // half flushes silently
    static constexpr bool rounds_to_odd = true;
    using Wide = uint32_t; // holds products and scaled quotients exactly
};
template <> struct FPFormatBits<uint32_t> {
    static constexpr int exp_bits = 8;
    static constexpr int frac_bits = 23;
    static constexpr int flush_mode = FPLIB_FZ;
    static constexpr bool flush_sets_idc = true;
    static constexpr bool rounds_to_odd = true;
    using Wide = uint64_t;
};
template <> struct FPFormatBits<uint64_t> {
    static constexpr int exp_bits = 11;
    static constexpr int frac_bits = 52;
    static constexpr int flush_mode = FPLIB_FZ;
    static constexpr bool flush_sets_idc = true;
    static constexpr bool rounds_to_odd = false;
    using Wide = u128;
};

template <class T> struct FPFormat : FPFormatBits<T> {
    static constexpr int width = static_cast<int>(sizeof(T) * 8);
    static constexpr int E = FPFormatBits<T>::exp_bits;
    static constexpr int F = FPFormatBits<T>::frac_bits;
    static constexpr int bias = (1 << (E - 1)) - 1;
    static constexpr int exp_max = (1 << E) - 1;
    static constexpr T sign_bit = static_cast<T>(T(1) << (width - 1));
    static constexpr T implicit_bit = static_cast<T>(T(1) << F);
    static constexpr T frac_mask = static_cast<T>(implicit_bit - 1);
    static constexpr T quiet_bit = static_cast<T>(T(1) << (F - 1));
    static constexpr T infinity = static_cast<T>(T(exp_max) << F);
    static constexpr T max_normal = static_cast<T>(infinity - 1);
    static constexpr T default_nan = static_cast<T>(infinity | quiet_bit);
    static constexpr T one = static_cast<T>(T(bias) << F);

    static constexpr T zero(int sign) { return static_cast<T>(T(sign) << (width - 1)); }
    static constexpr T inf(int sign) { return static_cast<T>(zero(sign) | infinity); }
    static constexpr T max_finite(int sign) { return static_cast<T>(zero(sign) | max_normal); }
    static constexpr T abs(T x) { return static_cast<T>(x & ~sign_bit); }
    static constexpr bool is_nan(T x) { return abs(x) > infinity; }
    static constexpr bool is_signalling(T x) { return is_nan(x) && !(x & quiet_bit); }
    static constexpr bool is_quiet(T x) { return is_nan(x) && (x & quiet_bit); }
};

} // namespace ostrel::fplib
