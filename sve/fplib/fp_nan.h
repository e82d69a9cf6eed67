// The NaN rules: one operand, two operands and three operands. Signalling NaNs win over quiet
// ones, earlier operands over later ones; DN replaces the chosen NaN by the default NaN.
#pragma once

#include "sve/fplib/fp_format.h"

namespace ostrel::fplib {

// x must be a NaN.
template <class T> inline T fp_process_nan(T x, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    if (!(x & Fmt::quiet_bit)) *flags |= FPSCR_IOC;
    return (mode & FPLIB_DN) ? Fmt::default_nan : static_cast<T>(x | Fmt::quiet_bit);
}

// True when a NaN decided the result, which is then in *result.
template <class T> inline bool fp_process_nans(T a, T b, int mode, int *flags, T *result) {
    using Fmt = FPFormat<T>;
    if (!Fmt::is_nan(a) && !Fmt::is_nan(b)) return false;
    if (Fmt::is_signalling(a)) {
        *result = fp_process_nan(a, mode, flags);
    } else if (Fmt::is_signalling(b)) {
        *result = fp_process_nan(b, mode, flags);
    } else {
        *result = fp_process_nan(Fmt::is_nan(a) ? a : b, mode, flags);
    }
    return true;
}

template <class T> inline bool fp_process_nans3(T a, T b, T c, int mode, int *flags, T *result) {
    using Fmt = FPFormat<T>;
    if (!Fmt::is_nan(a) && !Fmt::is_nan(b) && !Fmt::is_nan(c)) return false;
    T chosen;
    if (Fmt::is_signalling(a)) {
        chosen = a;
    } else if (Fmt::is_signalling(b)) {
        chosen = b;
    } else if (Fmt::is_signalling(c)) {
        chosen = c;
    } else {
        chosen = Fmt::is_nan(a) ? a : Fmt::is_nan(b) ? b : c;
    }
    *result = fp_process_nan(chosen, mode, flags);
    return true;
}

} // namespace ostrel::fplib
