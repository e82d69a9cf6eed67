// FPMul and FPMulX: the exact product in a word of twice the width, one rounding. Defined here so
// that element loops inline the common case of two normal operands; the other operands take the
// out-of-line path (mul.cpp), which ends in the same product.
#pragma once

#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fpscr.h"

namespace ostrel::fplib {

namespace detail {

// The rounded product of two finite non-zero operands.
template <class T>
FPLIB_ALWAYS_INLINE T fp_mul_finite(const FPUnpacked<T> &a, const FPUnpacked<T> &b, int mode,
                                    int *flags) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    const Wide product = static_cast<Wide>(static_cast<Wide>(a.mnt) * b.mnt);
    return fp_round_integer<T>(a.sign ^ b.sign, a.exp + b.exp - Fmt::bias - 2 * Fmt::F, product,
                               mode & FPLIB_RM_MASK, mode, flags);
}

// Any operands: NaNs, infinities, zeros and denormals (mul.cpp).
template <class T> T fp_mul_any(T op1, T op2, bool extended, int mode, int *flags);

template <class T> FPLIB_ALWAYS_INLINE T fp_mul(T op1, T op2, bool extended, FPSCR &fpscr) {
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const T result =
        fp_is_normal(op1) && fp_is_normal(op2)
            ? fp_mul_finite<T>(fp_unpack_normal(op1), fp_unpack_normal(op2), mode, &flags)
            : fp_mul_any<T>(op1, op2, extended, mode, &flags);
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace detail

template <class T> inline T FPMul(T op1, T op2, FPSCR &fpscr) {
    return detail::fp_mul<T>(op1, op2, false, fpscr);
}
template <class T> inline T FPMulX(T op1, T op2, FPSCR &fpscr) {
    return detail::fp_mul<T>(op1, op2, true, fpscr);
}

} // namespace ostrel::fplib
