// FPAdd and FPSub: single and double on the host's adder where that is exact (host_exact.h),
// otherwise alignment with three guard bits and a sticky bit, one rounding. Defined here so
// that element loops inline the common case of two normal operands; NaNs, infinities, zeros and
// denormals take the out-of-line path (add_sub.cpp), which ends in the same sum.
#pragma once

#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fpscr.h"
#include "sve/fplib/host_exact.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

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
    // Half and single add in their wide word, whose G extra low bits keep everything the
    // alignment shifts out (rounding then takes them as sticky); double keeps a sticky bit.
    using Sum = std::conditional_t<sizeof(T) < 8, typename Fmt::Wide, T>;
    constexpr int G = bit_count<Sum> - bit_count<T>;
    const Sum x = static_cast<Sum>(static_cast<Sum>(big.mnt) << (3 + G));
    Sum y = static_cast<Sum>(static_cast<Sum>(small.mnt) << (3 + G));
    // Shifted by more than F + 5 places, y lies wholly below the round bit and decides only the
    // sticky bit, which any smaller non-zero value decides alike: the clamp keeps the shift short.
    const int shift = std::min(big.exp - small.exp, Fmt::F + 5);
    if constexpr (G >= Fmt::F + 5) {
        y = static_cast<Sum>(y >> shift);
    } else {
        y = static_cast<Sum>((y >> shift) | Sum((y & ((Sum(1) << shift) - 1)) != 0));
    }
    const Sum negate = select_mask<Sum>(big.sign != small.sign);
    const Sum sum = static_cast<Sum>(x + static_cast<Sum>((y ^ negate) - negate));
    if (sum == 0) return Fmt::zero((mode & FPLIB_RM_MASK) == FPRounding_NEGINF);
    return fp_round_integer<T>(big.sign, big.exp - Fmt::F - 3 - G, sum, mode & FPLIB_RM_MASK, mode,
                               flags);
}

// All ones when b leads a, else zero: the encodings of finite values order as their magnitudes,
// and the sign of their difference gives the mask without a flags-to-register step (which on x86
// can wait on an unrelated earlier value of its register).
template <class T> inline T fp_add_swap_mask(T a, T b) {
    using Signed = std::conditional_t<sizeof(T) < 4, int32_t, std::make_signed_t<T>>;
    const Signed d = static_cast<Signed>(static_cast<Signed>(FPFormat<T>::abs(a)) -
                                         static_cast<Signed>(FPFormat<T>::abs(b)));
    return static_cast<T>(d >> (bit_count<Signed> - 1));
}

// Any operands: NaNs, infinities, zeros and denormals (add_sub.cpp).
template <class T> T fp_add_any(T op1, T op2, int negate2, int mode, int *flags);

template <class T> FPLIB_ALWAYS_INLINE T fp_add(T op1, T op2, int negate2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    T result;
    if constexpr (sizeof(T) == 2) {
        if (host_add_half(op1, static_cast<T>(op2 ^ (negate2 ? Fmt::sign_bit : 0)), mode, &result,
                          &flags)) {
            fp_merge_flags(fpscr, flags);
            return result;
        }
    } else {
        if (host_add<T>(op1, static_cast<T>(op2 ^ (negate2 ? Fmt::sign_bit : 0)), mode, &result,
                        &flags)) {
            fp_merge_flags(fpscr, flags);
            return result;
        }
    }
    if (fp_is_normal(op1) && fp_is_normal(op2)) {
        const T b = static_cast<T>(op2 ^ (negate2 ? Fmt::sign_bit : 0));
        const T big = static_cast<T>(op1 ^ ((op1 ^ b) & fp_add_swap_mask(op1, b)));
        result = fp_add_ordered<T>(fp_unpack_normal(big),
                                   fp_unpack_normal(static_cast<T>(op1 ^ b ^ big)), mode, &flags);
    } else {
        result = fp_add_any<T>(op1, op2, negate2, mode, &flags);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace detail

template <class T> FPLIB_ALWAYS_INLINE T FPAdd(T op1, T op2, FPSCR &fpscr) {
    return detail::fp_add<T>(op1, op2, 0, fpscr);
}
template <class T> FPLIB_ALWAYS_INLINE T FPSub(T op1, T op2, FPSCR &fpscr) {
    return detail::fp_add<T>(op1, op2, 1, fpscr);
}

} // namespace ostrel::fplib
