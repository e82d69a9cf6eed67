// Integer (fixed point with fbits fraction bits) to float: one rounding of the 64-bit magnitude.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

template <class T>
T fplibFixedToFP(uint64_t op, int fbits, bool is_unsigned, FPRounding rounding, FPSCR &fpscr) {
    const int sign = is_unsigned ? 0 : static_cast<int>(op >> 63);
    const uint64_t magnitude = sign ? ~op + 1 : op;
    if (!magnitude) return 0;
    // The rounding argument replaces FPSCR's mode; a half result is never flushed.
    const int mode = fp_mode_word(fpscr) & (FPLIB_FZ | FPLIB_DN);
    int flags = 0;
    const T result =
        fp_round_integer<T>(sign, FPFormat<T>::bias - fbits, magnitude, rounding, mode, &flags);
    fp_merge_flags(fpscr, flags);
    return result;
}

#define INSTANTIATE(T) template T fplibFixedToFP<T>(uint64_t, int, bool, FPRounding, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
