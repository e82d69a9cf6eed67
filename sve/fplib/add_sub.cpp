// FPAdd and FPSub: alignment with three guard bits and a sticky bit, one rounding.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

template <class T> T fp_add(T op1, T op2, int negate2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    T result;
    if (fp_process_nans(op1, op2, mode, &flags, &result)) {
        fp_merge_flags(fpscr, flags);
        return result;
    }
    b.sign ^= negate2; // after the NaN rule: a NaN op2 keeps its own sign

    if (a.is_special() || b.is_special()) {
        if (a.is_special() && b.is_special() && a.sign != b.sign) {
            result = Fmt::default_nan;
            flags |= FPSCR_IOC;
        } else {
            result = Fmt::inf(a.is_special() ? a.sign : b.sign);
        }
    } else if (a.is_zero() && b.is_zero() && a.sign == b.sign) {
        result = Fmt::zero(a.sign);
    } else {
        T x = static_cast<T>(a.mnt << 3), y = static_cast<T>(b.mnt << 3);
        int exp = a.exp;
        if (a.exp < b.exp) {
            x = shift_right_jam(x, b.exp - a.exp);
            exp = b.exp;
        } else {
            y = shift_right_jam(y, a.exp - b.exp);
        }
        int sign = a.sign;
        T sum;
        if (a.sign == b.sign) {
            sum = static_cast<T>(x + y);
        } else if (x >= y) {
            sum = static_cast<T>(x - y);
        } else {
            sum = static_cast<T>(y - x);
            sign = b.sign;
        }
        if (sum == 0) {
            result = Fmt::zero((mode & FPLIB_RM_MASK) == FPRounding_NEGINF);
        } else {
            result = fp_round_integer<T>(sign, exp - Fmt::F - 3, sum, mode & FPLIB_RM_MASK, mode,
                                         &flags);
        }
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace

template <class T> T FPAdd(T op1, T op2, FPSCR &fpscr) {
    return fp_add<T>(op1, op2, 0, fpscr);
}
template <class T> T FPSub(T op1, T op2, FPSCR &fpscr) {
    return fp_add<T>(op1, op2, 1, fpscr);
}

#define INSTANTIATE(T)                                                                             \
    template T FPAdd<T>(T, T, FPSCR &);                                                            \
    template T FPSub<T>(T, T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
