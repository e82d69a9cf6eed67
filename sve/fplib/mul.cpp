// FPMul and FPMulX with NaN, infinity, zero or denormal operands; the common case is in mul.h.
#include "sve/fplib/mul.h"
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"

namespace ostrel::fplib::detail {

template <class T> T fp_mul_any(T op1, T op2, bool extended, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    const FPUnpacked<T> a = fp_unpack(op1, mode, flags);
    const FPUnpacked<T> b = fp_unpack(op2, mode, flags);
    T result;
    if (fp_process_nans(op1, op2, mode, flags, &result)) return result;
    const int sign = a.sign ^ b.sign;
    if ((a.is_special() && b.is_zero()) || (a.is_zero() && b.is_special())) {
        if (extended) return static_cast<T>(Fmt::zero(sign) | (T(Fmt::bias + 1) << Fmt::F)); // 2.0
        *flags |= FPSCR_IOC;
        return Fmt::default_nan;
    }
    if (a.is_special() || b.is_special()) return Fmt::inf(sign);
    if (a.is_zero() || b.is_zero()) return Fmt::zero(sign);
    return fp_mul_finite<T>(a, b, mode, flags);
}

#define INSTANTIATE(T) template T fp_mul_any<T>(T, T, bool, int, int *);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib::detail
