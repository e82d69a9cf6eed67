// The fused multiply-add: the exact product and the addend aligned in a word of twice the width,
// added, scaled by a power of two and rounded once.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

template <class T> T fp_muladd(T a, T b, T c, int scale, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    constexpr int F = Fmt::F;
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

    // Both terms as integers in units of 2^(e - bias - 2F - 2), leading one at bit 2F + 3.
    constexpr int top = 2 * F + 3;
    auto place = [](Wide x, int &e) {
        if (!x) return x;
        const int shift = leading_zeros(x) - (bit_count<Wide> - 1 - top);
        e -= shift;
        return static_cast<Wide>(x << shift);
    };
    int ea = ua.exp;
    Wide x = place(static_cast<Wide>(static_cast<Wide>(ua.mnt) << (F + 2)), ea);
    int ep = ub.exp + uc.exp - Fmt::bias;
    Wide y =
        place(static_cast<Wide>(static_cast<Wide>(static_cast<Wide>(ub.mnt) * uc.mnt) << 2), ep);
    if (!y) ep = ea; // a zero product takes the addend's exponent
    if (!x) ea = ep;
    int exp;
    if (ea >= ep) {
        y = shift_right_jam(y, ea - ep);
        exp = ea;
    } else {
        x = shift_right_jam(x, ep - ea);
        exp = ep;
    }
    int sign = ua.sign;
    Wide sum;
    if (ua.sign == product_sign) {
        sum = x + y;
    } else if (x >= y) {
        sum = x - y;
    } else {
        sum = y - x;
        sign = product_sign;
    }
    if (!sum) return Fmt::zero((mode & FPLIB_RM_MASK) == FPRounding_NEGINF);
    return fp_round_integer<T>(sign, exp - 2 * F - 2 + scale, sum, mode & FPLIB_RM_MASK, mode,
                               flags);
}

} // namespace

uint16_t fp16_muladd(uint16_t a, uint16_t b, uint16_t c, int scale, int mode, int *flags) {
    return fp_muladd<uint16_t>(a, b, c, scale, mode, flags);
}
uint32_t fp32_muladd(uint32_t a, uint32_t b, uint32_t c, int scale, int mode, int *flags) {
    return fp_muladd<uint32_t>(a, b, c, scale, mode, flags);
}
uint64_t fp64_muladd(uint64_t a, uint64_t b, uint64_t c, int scale, int mode, int *flags) {
    return fp_muladd<uint64_t>(a, b, c, scale, mode, flags);
}

template <class T> T FPMulAdd(T addend, T op1, T op2, FPSCR &fpscr) {
    int flags = 0;
    const T result = fp_muladd<T>(addend, op1, op2, 0, fp_mode_word(fpscr), &flags);
    fp_merge_flags(fpscr, flags);
    return result;
}

#define INSTANTIATE(T) template T FPMulAdd<T>(T, T, T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
