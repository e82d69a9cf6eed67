// Rounding of an exact (or sticky-extended) result to a format: flush of tiny results, underflow
// judged before rounding, the four FPCR modes and round-to-odd, overflow by mode and the
// alternative half-precision range. Every arithmetic operation ends here, once.
#pragma once

#include "sve/fplib/fp_bits.h"
#include "sve/fplib/fpscr.h"

#include <cstdint>

namespace ostrel::fplib {

namespace detail {

// mnt: the significand below its leading one, left-aligned in T; exp: the biased exponent the
// result has when normal (0 or below for a tiny one).
template <class T> inline T fp_round(int sign, int exp, T mnt, int rm, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    constexpr int W = Fmt::width, E = Fmt::E, F = Fmt::F;
    if ((mode & Fmt::flush_mode) && exp < 1) {
        *flags |= FPSCR_UFC;
        return Fmt::zero(sign);
    }
    // Implicit one at bit F + 2, then the fraction, a round bit and a sticky bit.
    const T m = static_cast<T>((T(4) << F) | (mnt >> (E - 1)) |
                               static_cast<T>((mnt & ((T(1) << E) - 1)) != 0));
    int biased;
    T q;
    int error;
    if (exp >= 1) {
        biased = exp;
        q = static_cast<T>(m >> 2);
        error = static_cast<int>(m & 3);
    } else {
        biased = 0;
        const int shift = 1 - exp;
        if (shift >= W) {
            q = 0;
            error = 1;
        } else {
            q = shift + 2 >= W ? T(0) : static_cast<T>(m >> (shift + 2));
            error = static_cast<int>((m >> shift) & 3) |
                    static_cast<int>((m & ((T(1) << shift) - 1)) != 0);
        }
    }
    if (biased == 0 && error) *flags |= FPSCR_UFC;

    // Branch-free where the data decides (the error bits), branches where the mode does.
    bool up;
    switch (rm) {
    case FPRounding_TIEEVEN:
        up = (error | static_cast<int>(q & 1)) == 3; // above half, or half with q odd
        break;
    case FPRounding_POSINF:
        up = error && !sign;
        break;
    case FPRounding_NEGINF:
        up = error && sign;
        break;
    default:
        up = false;
        break;
    }
    q = static_cast<T>(q + up);
    if (biased == 0 && q == (T(1) << F)) biased = 1; // rounded up to the smallest normal
    if (q == (T(2) << F)) {
        ++biased;
        q = static_cast<T>(T(1) << F);
    }
    if constexpr (Fmt::rounds_to_odd) {
        if (rm == FPRounding_ODD && error) q |= 1;
    }

    if (W == 16 && (mode & FPLIB_AHP)) {
        // Exponent 31 is an ordinary exponent; beyond it there is nothing to round to.
        if (biased > Fmt::exp_max) {
            *flags |= FPSCR_IOC;
            return static_cast<T>(Fmt::zero(sign) | 0x7fff);
        }
    } else if (biased >= Fmt::exp_max) {
        *flags |= FPSCR_OFC | FPSCR_IXC;
        const bool to_infinity = rm == FPRounding_TIEEVEN || (rm == FPRounding_POSINF && !sign) ||
                                 (rm == FPRounding_NEGINF && sign);
        return to_infinity ? Fmt::inf(sign) : Fmt::max_finite(sign);
    }
    *flags |= error ? FPSCR_IXC : 0;
    return static_cast<T>(Fmt::zero(sign) | (T(biased) << F) | (q & Fmt::frac_mask));
}

} // namespace detail

inline uint16_t fp16_round_(int sign, int exp, uint16_t mnt, int rm, int mode, int *flags) {
    return detail::fp_round<uint16_t>(sign, exp, mnt, rm, mode, flags);
}
inline uint32_t fp32_round_(int sign, int exp, uint32_t mnt, int rm, int mode, int *flags) {
    return detail::fp_round<uint32_t>(sign, exp, mnt, rm, mode, flags);
}
inline uint64_t fp64_round_(int sign, int exp, uint64_t mnt, int rm, int mode, int *flags) {
    return detail::fp_round<uint64_t>(sign, exp, mnt, rm, mode, flags);
}

// The rounding routine of T's width.
template <class T> inline T fp_round(int sign, int exp, T mnt, int rm, int mode, int *flags) {
    if constexpr (sizeof(T) == 2) return fp16_round_(sign, exp, mnt, rm, mode, flags);
    if constexpr (sizeof(T) == 4) return fp32_round_(sign, exp, mnt, rm, mode, flags);
    if constexpr (sizeof(T) == 8) return fp64_round_(sign, exp, mnt, rm, mode, flags);
}

// Rounds the non-zero integer x scaled so that its bit 0 has biased exponent exp_bit0 (that is,
// x x 2^(exp_bit0 - bias)); x may be narrower or wider than T, wider bits go to the sticky bit.
template <class T, class U>
inline T fp_round_integer(int sign, int exp_bit0, U x, int rm, int mode, int *flags) {
    const int lz = leading_zeros(x);
    const U below_leading_one = static_cast<U>(static_cast<U>(x << lz) << 1);
    return fp_round<T>(sign, exp_bit0 + bit_count<U> - 1 - lz,
                       top_bits_sticky<T>(below_leading_one), rm, mode, flags);
}

} // namespace ostrel::fplib
