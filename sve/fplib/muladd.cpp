// The fused multiply-add with NaN, infinity, zero or denormal operands, and the scaled forms; the
// common case is in muladd.h.
#include "sve/fplib/muladd.h"
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace detail {

template <class T> T fp_muladd_any(T a, T b, T c, int scale, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    const FPUnpacked<T> ua = fp_unpack(a, mode, flags);
    const FPUnpacked<T> ub = fp_unpack(b, mode, flags);
    const FPUnpacked<T> uc = fp_unpack(c, mode, flags);
    const bool invalid_product =
        (ub.is_infinity() && uc.is_zero()) || (ub.is_zero() && uc.is_infinity());
    if (Fmt::is_quiet(a) && invalid_product) {
        *flags |= FPSCR_IOC;
        return Fmt::default_nan;
    }
    T result;
    if (fp_process_nans3(a, b, c, mode, flags, &result)) return result;

    const int product_sign = ub.sign ^ uc.sign;
    const bool product_infinite = ub.is_special() || uc.is_special();
    if (invalid_product || (ua.is_special() && product_infinite && ua.sign != product_sign)) {
        *flags |= FPSCR_IOC;
        return Fmt::default_nan;
    }
    if (ua.is_special()) return Fmt::inf(ua.sign);
    if (product_infinite) return Fmt::inf(product_sign);
    const bool product_zero = ub.is_zero() || uc.is_zero();
    if (ua.is_zero() && product_zero && ua.sign == product_sign) return Fmt::zero(ua.sign);
    return fp_muladd_finite<T>(ua, ub, uc, scale, false, mode, flags);
}

#define INSTANTIATE(T) template T fp_muladd_any<T>(T, T, T, int, int, int *);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace detail

uint16_t fp16_muladd(uint16_t a, uint16_t b, uint16_t c, int scale, int mode, int *flags) {
    return detail::fp_muladd_any<uint16_t>(a, b, c, scale, mode, flags);
}
uint32_t fp32_muladd(uint32_t a, uint32_t b, uint32_t c, int scale, int mode, int *flags) {
    return detail::fp_muladd_any<uint32_t>(a, b, c, scale, mode, flags);
}
uint64_t fp64_muladd(uint64_t a, uint64_t b, uint64_t c, int scale, int mode, int *flags) {
    return detail::fp_muladd_any<uint64_t>(a, b, c, scale, mode, flags);
}

} // namespace ostrel::fplib
