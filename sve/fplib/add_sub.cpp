// FPAdd and FPSub with NaN, infinity, zero or denormal operands; the common case is in add_sub.h.
#include "sve/fplib/add_sub.h"
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"

namespace ostrel::fplib::detail {

template <class T> T fp_add_any(T op1, T op2, int negate2, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    const FPUnpacked<T> a = fp_unpack(op1, mode, flags);
    FPUnpacked<T> b = fp_unpack(op2, mode, flags);
    T result;
    if (fp_process_nans(op1, op2, mode, flags, &result)) return result;
    b.sign ^= negate2; // after the NaN rule: a NaN op2 keeps its own sign

    if (a.is_special() || b.is_special()) {
        if (a.is_special() && b.is_special() && a.sign != b.sign) {
            *flags |= FPSCR_IOC;
            return Fmt::default_nan;
        }
        return Fmt::inf(a.is_special() ? a.sign : b.sign);
    }
    if (a.is_zero() && b.is_zero() && a.sign == b.sign) return Fmt::zero(a.sign);
    return fp_add_swap_mask(op1, op2) ? fp_add_ordered<T>(b, a, mode, flags)
                                      : fp_add_ordered<T>(a, b, mode, flags);
}

#define INSTANTIATE(T) template T fp_add_any<T>(T, T, int, int, int *);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib::detail
