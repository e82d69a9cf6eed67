// Rounding of an exact (or sticky-extended) result to a format: flush of tiny results, underflow
// judged before rounding, the four FPCR modes and round-to-odd, overflow by mode and the
// alternative half-precision range. Every arithmetic operation ends here, once.
#pragma once

#include "sve/fplib/fp_bits.h"
#include "sve/fplib/fpscr.h"

#include <cstdint>

namespace ostrel::fplib {

namespace detail {

// Adds the rounding increment to a packed result whose last place is bit 0 (a carry out of the
// fraction moves into the exponent, as it must), then sets bit 0 for round-to-odd. rest: the
// `drop` bits below the last place, so that half an ulp is 2^(drop - 1). Branches only where the
// mode decides.
template <class T>
FPLIB_ALWAYS_INLINE T fp_round_increment(T packed, T rest, int drop, int sign, int rm) {
    bool up;
    if (rm == FPRounding_TIEEVEN) {
        // Above half, or half with an odd last place, carries into bit `drop`.
        up = static_cast<T>(rest + (packed & 1) + (T(1) << (drop - 1)) - 1) >> drop;
    } else if (rm == FPRounding_POSINF) {
        up = rest && !sign;
    } else if (rm == FPRounding_NEGINF) {
        up = rest && sign;
    } else {
        up = false;
    }
    packed = static_cast<T>(packed + up);
    if constexpr (FPFormat<T>::rounds_to_odd) {
        if (rm == FPRounding_ODD && rest) packed |= 1;
    }
    return packed;
}

// A result normal before rounding (biased exponent exp from 1 to exp_max - 1, or to 31 in
// alternative half precision), rounded in place in its packed form.
template <class T>
FPLIB_ALWAYS_INLINE T fp_round_normal(int sign, int exp, T mnt, int rm, int *flags) {
    using Fmt = FPFormat<T>;
    constexpr int E = Fmt::E, F = Fmt::F;
    const T packed = static_cast<T>(Fmt::zero(sign) | (T(exp) << F) | (mnt >> (E + 1)));
    const T rest = static_cast<T>(mnt & ((T(1) << (E + 1)) - 1));
    *flags |= rest ? FPSCR_IXC : 0;
    return fp_round_increment<T>(packed, rest, E + 1, sign, rm);
}

// The results the common case does not cover: flushed, tiny, overflowing or near overflow, and
// alternative-half ones. Out of line so that the common case stays small enough to inline.
template <class T>
__attribute__((noinline, cold)) T fp_round_rare(int sign, int exp, T mnt, int rm, int mode,
                                                int *flags) {
    using Fmt = FPFormat<T>;
    constexpr int W = Fmt::width, E = Fmt::E, F = Fmt::F;
    if (W == 16 && (mode & FPLIB_AHP) && exp >= 1) {
        // Exponent 31 is an ordinary exponent; beyond it there is nothing to round to.
        const T ahp_nan = static_cast<T>(Fmt::zero(sign) | 0x7fff);
        if (exp > Fmt::exp_max) {
            *flags |= FPSCR_IOC;
            return ahp_nan;
        }
        int inexact = 0;
        const T result = fp_round_normal<T>(sign, exp, mnt, rm, &inexact);
        if ((result ^ Fmt::zero(sign)) & Fmt::sign_bit) { // carried beyond exponent 31
            *flags |= FPSCR_IOC;
            return ahp_nan;
        }
        *flags |= inexact;
        return result;
    }
    if (exp >= Fmt::exp_max) {
        *flags |= FPSCR_OFC | FPSCR_IXC;
        const bool to_infinity = rm == FPRounding_TIEEVEN || (rm == FPRounding_POSINF && !sign) ||
                                 (rm == FPRounding_NEGINF && sign);
        return to_infinity ? Fmt::inf(sign) : Fmt::max_finite(sign);
    }
    if (exp == Fmt::exp_max - 1) {
        // A carry into exponent exp_max is exactly the overflow to infinity of the modes that
        // round up.
        const T result = fp_round_normal<T>(sign, exp, mnt, rm, flags);
        if (Fmt::abs(result) == Fmt::infinity) *flags |= FPSCR_OFC;
        return result;
    }
    // Tiny: judged before rounding, flushed under the width's flush control.
    if (mode & Fmt::flush_mode) {
        *flags |= FPSCR_UFC;
        return Fmt::zero(sign);
    }
    // Implicit one at bit F + 2, then the fraction, a round bit and a sticky bit.
    const T m = static_cast<T>((T(4) << F) | (mnt >> (E - 1)) |
                               static_cast<T>((mnt & ((T(1) << E) - 1)) != 0));
    const int shift = 1 - exp;
    T q, error; // error: a round bit and a sticky bit
    if (shift >= W) {
        q = 0;
        error = 1;
    } else {
        q = shift + 2 >= W ? T(0) : static_cast<T>(m >> (shift + 2));
        error = static_cast<T>(((m >> shift) & 3) | T((m & ((T(1) << shift) - 1)) != 0));
    }
    if (error) *flags |= FPSCR_UFC | FPSCR_IXC;
    // A carry into bit F makes the smallest normal, which the packing gives by itself.
    return fp_round_increment<T>(static_cast<T>(Fmt::zero(sign) | q), error, 2, sign, rm);
}

// mnt: the significand below its leading one, left-aligned in T; exp: the biased exponent the
// result has when normal (0 or below for a tiny one).
template <class T>
FPLIB_ALWAYS_INLINE T fp_round(int sign, int exp, T mnt, int rm, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    const bool ahp = Fmt::width == 16 && (mode & FPLIB_AHP);
    // Normal before and after rounding (exponents up to exp_max - 2 cannot round into overflow).
    if (__builtin_expect(static_cast<unsigned>(exp - 1) < unsigned(Fmt::exp_max - 2) && !ahp, 1))
        return fp_round_normal<T>(sign, exp, mnt, rm, flags);
    return fp_round_rare<T>(sign, exp, mnt, rm, mode, flags);
}

} // namespace detail

FPLIB_ALWAYS_INLINE uint16_t fp16_round_(int sign, int exp, uint16_t mnt, int rm, int mode,
                                         int *flags) {
    return detail::fp_round<uint16_t>(sign, exp, mnt, rm, mode, flags);
}
FPLIB_ALWAYS_INLINE uint32_t fp32_round_(int sign, int exp, uint32_t mnt, int rm, int mode,
                                         int *flags) {
    return detail::fp_round<uint32_t>(sign, exp, mnt, rm, mode, flags);
}
FPLIB_ALWAYS_INLINE uint64_t fp64_round_(int sign, int exp, uint64_t mnt, int rm, int mode,
                                         int *flags) {
    return detail::fp_round<uint64_t>(sign, exp, mnt, rm, mode, flags);
}

// The rounding routine of T's width.
template <class T>
FPLIB_ALWAYS_INLINE T fp_round(int sign, int exp, T mnt, int rm, int mode, int *flags) {
    if constexpr (sizeof(T) == 2) return fp16_round_(sign, exp, mnt, rm, mode, flags);
    if constexpr (sizeof(T) == 4) return fp32_round_(sign, exp, mnt, rm, mode, flags);
    if constexpr (sizeof(T) == 8) return fp64_round_(sign, exp, mnt, rm, mode, flags);
}

// Rounds the non-zero integer x scaled so that its bit 0 has biased exponent exp_bit0 (that is,
// x x 2^(exp_bit0 - bias)); x may be narrower or wider than T, wider bits go to the sticky bit.
template <class T, class U>
FPLIB_ALWAYS_INLINE T fp_round_integer(int sign, int exp_bit0, U x, int rm, int mode, int *flags) {
    const int lz = leading_zeros(x);
    const U below_leading_one = static_cast<U>(static_cast<U>(x << lz) << 1);
    return fp_round<T>(sign, exp_bit0 + bit_count<U> - 1 - lz,
                       top_bits_sticky<T>(below_leading_one), rm, mode, flags);
}

} // namespace ostrel::fplib
