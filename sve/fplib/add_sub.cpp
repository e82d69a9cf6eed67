// FPAdd and FPSub: alignment with three guard bits and a sticky bit, one rounding.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

#include <algorithm>

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
        // The larger magnitude leads: its sign and exponent are the result's, and the smaller
        // one, aligned to it, never exceeds it. Selections rather than branches: the order of
        // two operands is as random as the data.
        const auto key = [](const FPUnpacked<T> &u) {
            return static_cast<uint64_t>(u.exp) << (Fmt::F + 1) | u.mnt;
        };
        const bool swap = key(a) < key(b);
        const FPUnpacked<T> &big = swap ? b : a;
        const FPUnpacked<T> &small = swap ? a : b;
        const T x = static_cast<T>(big.mnt << 3);
        T y = static_cast<T>(small.mnt << 3);
        // Beyond F + 4 places only the sticky bit of y is left, which the mask still catches.
        const int shift = std::min(big.exp - small.exp, Fmt::F + 5);
        y = static_cast<T>((y >> shift) | T((y & ((T(1) << shift) - 1)) != 0));
        const T sum = static_cast<T>(big.sign == small.sign ? x + y : x - y);
        if (sum == 0) {
            result = Fmt::zero((mode & FPLIB_RM_MASK) == FPRounding_NEGINF);
        } else {
            result = fp_round_integer<T>(big.sign, big.exp - Fmt::F - 3, sum, mode & FPLIB_RM_MASK,
                                         mode, &flags);
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
