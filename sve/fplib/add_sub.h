// FPAdd and FPSub: alignment with three guard bits and a sticky bit, one rounding. Defined here so
// that element loops inline the common case of two normal operands; NaNs, infinities, zeros and
// denormals take the out-of-line path (add_sub.cpp), which ends in the same sum.
#pragma once

#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fpscr.h"

#include <algorithm>

namespace ostrel::fplib {

namespace detail {

// The rounded sum of two finite operands, big at least as large in magnitude as small (which
// already carries the sign it is added with), unless both are zeros of one sign. The larger
// magnitude leads: its sign and exponent are the result's, and the smaller one, aligned to it,
// never exceeds it.
template <class T>
FPLIB_ALWAYS_INLINE T fp_add_ordered(const FPUnpacked<T> &big, const FPUnpacked<T> &small, int mode,
                                     int *flags) {
    using Fmt = FPFormat<T>;
    const T x = static_cast<T>(big.mnt << 3);
    T y = static_cast<T>(small.mnt << 3);
    // Beyond F + 4 places only the sticky bit of y is left, which the mask still catches.
    const int shift = std::min(big.exp - small.exp, Fmt::F + 5);
    y = static_cast<T>((y >> shift) | T((y & ((T(1) << shift) - 1)) != 0));
    const T negate = select_mask<T>(big.sign != small.sign);
    const T sum = static_cast<T>(x + static_cast<T>((y ^ negate) - negate));
    if (sum == 0) return Fmt::zero((mode & FPLIB_RM_MASK) == FPRounding_NEGINF);
    return fp_round_integer<T>(big.sign, big.exp - Fmt::F - 3, sum, mode & FPLIB_RM_MASK, mode,
                               flags);
}

// Whether b leads a: the encodings of finite values order as their magnitudes.
template <class T> inline bool fp_add_swaps(T a, T b) {
    return FPFormat<T>::abs(a) < FPFormat<T>::abs(b);
}

// Any operands: NaNs, infinities, zeros and denormals (add_sub.cpp).
template <class T> T fp_add_any(T op1, T op2, int negate2, int mode, int *flags);

template <class T> FPLIB_ALWAYS_INLINE T fp_add(T op1, T op2, int negate2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    T result;
    if (fp_is_normal(op1) && fp_is_normal(op2)) {
        const T b = static_cast<T>(op2 ^ (negate2 ? Fmt::sign_bit : 0));
        const T big = static_cast<T>(op1 ^ ((op1 ^ b) & select_mask<T>(fp_add_swaps(op1, b))));
        result = fp_add_ordered<T>(fp_unpack_normal(big),
                                   fp_unpack_normal(static_cast<T>(op1 ^ b ^ big)), mode, &flags);
    } else {
        result = fp_add_any<T>(op1, op2, negate2, mode, &flags);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace detail

template <class T> inline T FPAdd(T op1, T op2, FPSCR &fpscr) {
    return detail::fp_add<T>(op1, op2, 0, fpscr);
}
template <class T> inline T FPSub(T op1, T op2, FPSCR &fpscr) {
    return detail::fp_add<T>(op1, op2, 1, fpscr);
}

} // namespace ostrel::fplib
