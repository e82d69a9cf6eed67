// FPMul and FPMulX: the exact product in a word of twice the width, one rounding.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

template <class T> T fp_mul(T op1, T op2, bool extended, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    const FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    T result;
    if (fp_process_nans(op1, op2, mode, &flags, &result)) {
        fp_merge_flags(fpscr, flags);
        return result;
    }
    const int sign = a.sign ^ b.sign;
    if ((a.is_special() && b.is_zero()) || (a.is_zero() && b.is_special())) {
        if (extended) {
            result = static_cast<T>(Fmt::zero(sign) | (T(Fmt::bias + 1) << Fmt::F)); // 2.0
        } else {
            result = Fmt::default_nan;
            flags |= FPSCR_IOC;
        }
    } else if (a.is_special() || b.is_special()) {
        result = Fmt::inf(sign);
    } else if (a.is_zero() || b.is_zero()) {
        result = Fmt::zero(sign);
    } else {
        const Wide product = static_cast<Wide>(static_cast<Wide>(a.mnt) * b.mnt);
        result = fp_round_integer<T>(sign, a.exp + b.exp - Fmt::bias - 2 * Fmt::F, product,
                                     mode & FPLIB_RM_MASK, mode, &flags);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace

template <class T> T FPMul(T op1, T op2, FPSCR &fpscr) {
    return fp_mul<T>(op1, op2, false, fpscr);
}
template <class T> T FPMulX(T op1, T op2, FPSCR &fpscr) {
    return fp_mul<T>(op1, op2, true, fpscr);
}

#define INSTANTIATE(T)                                                                             \
    template T FPMul<T>(T, T, FPSCR &);                                                            \
    template T FPMulX<T>(T, T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
