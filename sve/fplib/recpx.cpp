// FPRecpX: the exponent field inverted, the fraction cleared; no rounding.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

template <class T> T FPRecpX(T op, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> u = fp_unpack(op, mode, &flags); // for the IDC of a flushed input
    const T exp = static_cast<T>((op >> Fmt::F) & Fmt::exp_max);
    T result;
    if (Fmt::is_nan(op)) {
        result = fp_process_nan(op, mode, &flags);
    } else if (exp == 0) {
        result = static_cast<T>(Fmt::zero(u.sign) | (T(Fmt::exp_max - 1) << Fmt::F));
    } else if (u.is_infinity()) {
        result = Fmt::zero(u.sign);
    } else {
        result = static_cast<T>(Fmt::zero(u.sign) | (T(~exp & Fmt::exp_max) << Fmt::F));
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

#define INSTANTIATE(T) template T FPRecpX<T>(T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
