// FPDiv: an integer quotient with at least F + 3 significant bits and an exact sticky bit.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

template <class T> T FPDiv(T op1, T op2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    T result;
    if (fp_process_nans(op1, op2, mode, &flags, &result)) {
        fp_merge_flags(fpscr, flags);
        return result;
    }
    const int sign = a.sign ^ b.sign;
    if ((a.is_special() && b.is_special()) || (a.is_zero() && b.is_zero())) {
        result = Fmt::default_nan;
        flags |= FPSCR_IOC;
    } else if (a.is_special() || b.is_zero()) {
        result = Fmt::inf(sign);
        if (!a.is_special()) flags |= FPSCR_DZC;
    } else if (a.is_zero() || b.is_special()) {
        result = Fmt::zero(sign);
    } else {
        fp_normalise(a);
        fp_normalise(b);
        // Both significands in [2^F, 2^(F+1)): the quotient lies in (2^(F+2), 2^(F+4)).
        const Wide dividend = static_cast<Wide>(static_cast<Wide>(a.mnt) << (Fmt::F + 3));
        const Wide quotient = dividend / b.mnt;
        const bool inexact = quotient * b.mnt != dividend;
        const T q = static_cast<T>((static_cast<T>(quotient) << 1) | T(inexact));
        result = fp_round_integer<T>(sign, a.exp - b.exp + Fmt::bias - Fmt::F - 4, q,
                                     mode & FPLIB_RM_MASK, mode, &flags);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

#define INSTANTIATE(T) template T FPDiv<T>(T, T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
