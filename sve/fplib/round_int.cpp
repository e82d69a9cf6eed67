// FPRoundInt: rounding to an integral value in the same format, in any of the five modes.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_integral.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

template <class T> T FPRoundInt(T op, FPRounding rounding, bool exact, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> u = fp_unpack(op, mode, &flags);
    T result;
    if (Fmt::is_nan(op)) {
        result = fp_process_nan(op, mode, &flags);
    } else if (u.is_special()) {
        result = op;
    } else if (u.is_zero()) {
        result = Fmt::zero(u.sign);
    } else if (u.exp >= Fmt::bias + Fmt::F) {
        result = op; // no fraction bits left
    } else {
        IntegerPart p = integer_part(u.mnt, Fmt::bias + Fmt::F - u.exp);
        if (rounds_up(p, u.sign, rounding)) ++p.x;
        if (!p.x) {
            result = Fmt::zero(u.sign);
        } else {
            int exact_flags = 0; // an integer below 2^(F+1) is representable: nothing to report
            result = fp_round_integer<T>(u.sign, Fmt::bias, p.x, FPRounding_ZERO, 0, &exact_flags);
        }
        if (exact && p.err) flags |= FPSCR_IXC;
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

#define INSTANTIATE(T) template T FPRoundInt<T>(T, FPRounding, bool, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
