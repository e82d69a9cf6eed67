// The fused multiply-add: the exact product and the addend aligned in a word of twice the width,
// added, scaled by a power of two and rounded once. FPMulAdd is defined here so that element loops
// inline the common case of three normal operands; the other operands, and the scaled forms, take
// the out-of-line path (muladd.cpp), which ends in the same sum.
#pragma once

#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fpscr.h"

namespace ostrel::fplib {

namespace detail {

// (a + b x c) x 2^scale for finite operands, rounded, unless a and the product are zeros of one
// sign.
template <class T>
inline T fp_muladd_finite(const FPUnpacked<T> &ua, const FPUnpacked<T> &ub, const FPUnpacked<T> &uc,
                          int scale, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    constexpr int F = Fmt::F;
    const int product_sign = ub.sign ^ uc.sign;
    // Both terms as integers in units of 2^(e - bias - 2F - 2), leading one at bit 2F + 3.
    constexpr int top = 2 * F + 3;
    auto place = [](Wide x, int &e) {
        if (!x) return x;
        const int shift = leading_zeros(x) - (bit_count<Wide> - 1 - top);
        e -= shift;
        return static_cast<Wide>(x << shift);
    };
    int ea = ua.exp;
    Wide x = place(static_cast<Wide>(static_cast<Wide>(ua.mnt) << (F + 2)), ea);
    int ep = ub.exp + uc.exp - Fmt::bias;
    Wide y =
        place(static_cast<Wide>(static_cast<Wide>(static_cast<Wide>(ub.mnt) * uc.mnt) << 2), ep);
    if (!y) ep = ea; // a zero product takes the addend's exponent
    if (!x) ea = ep;
    int exp;
    if (ea >= ep) {
        y = shift_right_jam(y, ea - ep);
        exp = ea;
    } else {
        x = shift_right_jam(x, ep - ea);
        exp = ep;
    }
    int sign = ua.sign;
    Wide sum;
    if (ua.sign == product_sign) {
        sum = x + y;
    } else if (x >= y) {
        sum = x - y;
    } else {
        sum = y - x;
        sign = product_sign;
    }
    if (!sum) return Fmt::zero((mode & FPLIB_RM_MASK) == FPRounding_NEGINF);
    return fp_round_integer<T>(sign, exp - 2 * F - 2 + scale, sum, mode & FPLIB_RM_MASK, mode,
                               flags);
}

// Any operands: NaNs, infinities, zeros and denormals (muladd.cpp).
template <class T> T fp_muladd_any(T a, T b, T c, int scale, int mode, int *flags);

} // namespace detail

template <class T> inline T FPMulAdd(T addend, T op1, T op2, FPSCR &fpscr) {
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const T result =
        fp_is_normal(addend) && fp_is_normal(op1) && fp_is_normal(op2)
            ? detail::fp_muladd_finite<T>(fp_unpack_normal(addend), fp_unpack_normal(op1),
                                          fp_unpack_normal(op2), 0, mode, &flags)
            : detail::fp_muladd_any<T>(addend, op1, op2, 0, mode, &flags);
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace ostrel::fplib
