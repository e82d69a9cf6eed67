// Unpacking a value into sign, biased exponent and significand, with flush-to-zero of denormal
// inputs. A denormal takes exponent 1 so that normals and denormals share one scale.
#pragma once

#include "sve/fplib/fp_bits.h"

namespace ostrel::fplib {

template <class T> struct FPUnpacked {
    int sign;
    int exp;
    T mnt; // with the implicit bit (bit F) of a normal; 0 for a zero or a flushed denormal

    bool is_zero() const { return mnt == 0; }
    // Infinity or NaN: only meaningful outside alternative half precision.
    bool is_special() const { return exp == FPFormat<T>::exp_max; }
    bool is_infinity() const { return is_special() && (mnt & FPFormat<T>::frac_mask) == 0; }
};

template <class T> inline FPUnpacked<T> fp_unpack(T x, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    FPUnpacked<T> u;
    u.sign = static_cast<int>(x >> (Fmt::width - 1));
    u.exp = static_cast<int>((x >> Fmt::F) & Fmt::exp_max);
    u.mnt = static_cast<T>(x & Fmt::frac_mask);
    if (u.exp) {
        u.mnt |= Fmt::implicit_bit;
    } else {
        u.exp = 1;
        if (u.mnt && (mode & Fmt::flush_mode)) {
            u.mnt = 0;
            if (Fmt::flush_sets_idc) *flags |= FPSCR_IDC;
        }
    }
    return u;
}

// A normal operand: neither zero, denormal, infinity nor NaN.
template <class T> inline bool fp_is_normal(T x) {
    using Fmt = FPFormat<T>;
    return static_cast<T>(Fmt::abs(x) - Fmt::implicit_bit) <
           static_cast<T>(Fmt::infinity - Fmt::implicit_bit);
}

// Unpacking of a normal operand, which needs no flush.
template <class T> inline FPUnpacked<T> fp_unpack_normal(T x) {
    using Fmt = FPFormat<T>;
    return {static_cast<int>(x >> (Fmt::width - 1)), static_cast<int>((x >> Fmt::F) & Fmt::exp_max),
            static_cast<T>((x & Fmt::frac_mask) | Fmt::implicit_bit)};
}

// Shifts a non-zero significand so that its leading one is at bit F, lowering the exponent of a
// denormal below 1 accordingly.
template <class T> inline void fp_normalise(FPUnpacked<T> &u) {
    const int shift = leading_zeros(u.mnt) - (FPFormat<T>::width - 1 - FPFormat<T>::F);
    u.mnt = static_cast<T>(u.mnt << shift);
    u.exp -= shift;
}

} // namespace ostrel::fplib
