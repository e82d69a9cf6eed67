// The fused Newton steps: 2 - op1 x op2 for the reciprocal, (3 - op1 x op2) / 2 for the
// reciprocal square root, each rounded once through the fused multiply-add of its width.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

template <class T> T muladd_of_width(T a, T b, T c, int scale, int mode, int *flags) {
    if constexpr (sizeof(T) == 2) return fp16_muladd(a, b, c, scale, mode, flags);
    if constexpr (sizeof(T) == 4) return fp32_muladd(a, b, c, scale, mode, flags);
    if constexpr (sizeof(T) == 8) return fp64_muladd(a, b, c, scale, mode, flags);
}

// constant + (-op1) x op2, scaled by 2^scale; infinity x zero has a result of its own.
template <class T>
T step_fused(T op1, T op2, T constant, T infinity_times_zero, int scale, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    op1 = FPNeg(op1);
    const FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    const FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    T result;
    if (!fp_process_nans(op1, op2, mode, &flags, &result)) {
        if ((a.is_infinity() && b.is_zero()) || (a.is_zero() && b.is_infinity())) {
            result = infinity_times_zero;
        } else if (a.is_infinity() || b.is_infinity()) {
            result = Fmt::inf(a.sign ^ b.sign);
        } else {
            result = muladd_of_width<T>(constant, op1, op2, scale, mode, &flags);
        }
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace

template <class T> T FPRecipStepFused(T op1, T op2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const T two = static_cast<T>(T(Fmt::bias + 1) << Fmt::F);
    return step_fused<T>(op1, op2, two, two, 0, fpscr);
}

template <class T> T FPRSqrtStepFused(T op1, T op2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const T three = static_cast<T>((T(Fmt::bias + 1) << Fmt::F) | Fmt::quiet_bit);
    const T one_and_a_half = static_cast<T>(Fmt::one | Fmt::quiet_bit);
    return step_fused<T>(op1, op2, three, one_and_a_half, -1, fpscr);
}

#define INSTANTIATE(T)                                                                             \
    template T FPRecipStepFused<T>(T, T, FPSCR &);                                                 \
    template T FPRSqrtStepFused<T>(T, T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
