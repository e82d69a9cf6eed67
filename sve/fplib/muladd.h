// The fused multiply-add: the exact product and the addend aligned in a word of twice the width,
// added, scaled by a power of two and rounded once. FPMulAdd is defined here so that element loops
// inline the common case of three normal operands; the other operands, and the scaled forms, take
// the out-of-line path (muladd.cpp), which ends in the same sum.
#pragma once

#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fpscr.h"

#include <algorithm>

namespace ostrel::fplib {

namespace detail {

// (a + b x c) x 2^scale for finite operands, rounded, unless a and the product are zeros of one
// sign. normal: all three operands are normal, so where the leading ones lie is known.
template <class T>
FPLIB_ALWAYS_INLINE T fp_muladd_finite(const FPUnpacked<T> &ua, const FPUnpacked<T> &ub,
                                       const FPUnpacked<T> &uc, int scale, bool normal, int mode,
                                       int *flags) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    constexpr int F = Fmt::F;
    const int product_sign = ub.sign ^ uc.sign;
    // Both terms as integers in units of 2^(e - bias - 2F - 2), leading one at bit 2F + 3.
    constexpr int top = 2 * F + 3;
    int ea = ua.exp;
    Wide x = static_cast<Wide>(static_cast<Wide>(ua.mnt) << (F + 2));
    int ep = ub.exp + uc.exp - Fmt::bias;
    Wide y = static_cast<Wide>(static_cast<Wide>(static_cast<Wide>(ub.mnt) * uc.mnt) << 2);
    if (normal) {
        // The addend's leading one is at bit 2F + 2, the product's at 2F + 2 or 2F + 3.
        x = static_cast<Wide>(x << 1);
        --ea;
        const int low = 1 - static_cast<int>(y >> top);
        y = static_cast<Wide>(y << low);
        ep -= low;
    } else {
        const auto place = [](Wide v, int &e) {
            if (!v) return v;
            const int shift = leading_zeros(v) - (bit_count<Wide> - 1 - top);
            e -= shift;
            return static_cast<Wide>(v << shift);
        };
        x = place(x, ea);
        y = place(y, ep);
        if (!y) ep = ea; // a zero product takes the addend's exponent
        if (!x) ea = ep;
    }
    // Both aligned to the larger exponent, and added with the product's sign folded in, by masks
    // rather than branches: which term leads and whether the signs agree are as random as the
    // data. A shift beyond the leading one leaves only the sticky bit, as the clamp keeps it.
    const int exp = std::max(ea, ep);
    const auto align = [](Wide v, int shift) {
        shift = std::min(shift, top + 1);
        return static_cast<Wide>((v >> shift) | Wide((v & ((Wide(1) << shift) - 1)) != 0));
    };
    x = align(x, exp - ea);
    y = align(y, exp - ep);
    const Wide negate = static_cast<Wide>(Wide(0) - Wide(ua.sign != product_sign));
    Wide sum = static_cast<Wide>(x + ((y ^ negate) - negate));
    // A difference below zero: the product led, and the magnitude is the negation.
    const Wide below = static_cast<Wide>(Wide(0) - (sum >> (bit_count<Wide> - 1)));
    sum = static_cast<Wide>((sum ^ below) - below);
    const int sign = ua.sign ^ static_cast<int>(below & 1);
    if (!sum) return Fmt::zero((mode & FPLIB_RM_MASK) == FPRounding_NEGINF);
    return fp_round_integer<T>(sign, exp - 2 * F - 2 + scale, sum, mode & FPLIB_RM_MASK, mode,
                               flags);
}

// Any operands: NaNs, infinities, zeros and denormals (muladd.cpp).
template <class T> T fp_muladd_any(T a, T b, T c, int scale, int mode, int *flags);

} // namespace detail

template <class T> FPLIB_ALWAYS_INLINE T FPMulAdd(T addend, T op1, T op2, FPSCR &fpscr) {
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const T result =
        fp_is_normal(addend) && fp_is_normal(op1) && fp_is_normal(op2)
            ? detail::fp_muladd_finite<T>(fp_unpack_normal(addend), fp_unpack_normal(op1),
                                          fp_unpack_normal(op2), 0, true, mode, &flags)
            : detail::fp_muladd_any<T>(addend, op1, op2, 0, mode, &flags);
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace ostrel::fplib
