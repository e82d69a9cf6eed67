// The host's IEEE single and double arithmetic where it gives exactly the library's bits and
// flags: round to nearest even, normal operands and a result at least twice the smallest normal
// and below the largest binade, so that no flushing, underflow or overflow can arise and the one
// possible flag is inexact, which the operation's exact error decides. Anything else returns
// false and the caller computes in software. Normal plus zero is answered in every mode.
#pragma once

#include "sve/fplib/fp_format.h"
#include "sve/fplib/fp_unpack.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace ostrel::fplib::detail {

// The host's rounding mode must be round to nearest even, its default, which nothing in the
// emulator changes. On AArch64 the host's FPCR is the application's own and may round otherwise,
// so there everything stays in software.
#if defined(__aarch64__)
constexpr bool kHostArithmeticUsable = false;
#else
constexpr bool kHostArithmeticUsable = true;
#endif

template <class T> using HostFloatOf = std::conditional_t<sizeof(T) == 4, float, double>;

template <class T> inline HostFloatOf<T> to_host(T bits) {
    HostFloatOf<T> v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

template <class T> inline T from_host(HostFloatOf<T> v) {
    T bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// Biased exponent in [2, exp_max - 1): no neighbour of the result by one rounding step or one
// binade is a denormal, a zero or an infinity.
template <class T> inline bool well_inside_normal_range(T bits) {
    using Fmt = FPFormat<T>;
    const T exponent = static_cast<T>((bits >> Fmt::F) & T(Fmt::exp_max));
    return static_cast<T>(exponent - 2) < static_cast<T>(Fmt::exp_max - 3);
}

// op1 + op2 (op2 already carrying the sign it is added with). The error term of Knuth's two-sum
// is exact under round to nearest without overflow, and zero exactly when the sum is.
template <class T> inline bool host_add(T op1, T op2, int mode, T *result, int *flags) {
    static_assert(sizeof(T) == 4 || sizeof(T) == 8, "single and double only");
    using Fmt = FPFormat<T>;
    // A normal value plus a zero is that value, exactly, in every rounding mode: the padding of a
    // reduction tree adds zeros.
    if (Fmt::abs(op2) == 0 && fp_is_normal(op1)) {
        *result = op1;
        return true;
    }
    if (Fmt::abs(op1) == 0 && fp_is_normal(op2)) {
        *result = op2;
        return true;
    }
    if (!kHostArithmeticUsable || (mode & FPLIB_RM_MASK) != FPRounding_TIEEVEN ||
        !fp_is_normal(op1) || !fp_is_normal(op2))
        return false;
    using H = HostFloatOf<T>;
    const H a = to_host(op1), b = to_host(op2);
    const H sum = a + b;
    const T bits = from_host<T>(sum);
    if (!well_inside_normal_range(bits)) return false;
    const H b_part = sum - a;
    const H a_part = sum - b_part;
    const H error = (a - a_part) + (b - b_part);
    if (error != 0) *flags |= FPSCR_IXC;
    *result = bits;
    return true;
}

// sqrt(op) of a positive normal op whose root's square stays far above the denormals, so that
// fma(root, root, -op), the exact remainder, decides inexact.
template <class T> inline bool host_sqrt(T op, int mode, T *result, int *flags) {
    static_assert(sizeof(T) == 4 || sizeof(T) == 8, "single and double only");
    using Fmt = FPFormat<T>;
    const T exponent = static_cast<T>((op >> Fmt::F) & T(Fmt::exp_max));
    if (!kHostArithmeticUsable || (mode & FPLIB_RM_MASK) != FPRounding_TIEEVEN ||
        (op & Fmt::sign_bit) || exponent < T(2 * Fmt::F + 8) || exponent == T(Fmt::exp_max))
        return false;
    using H = HostFloatOf<T>;
    const H a = to_host(op);
    const H root = std::sqrt(a);
    if (std::fma(root, root, -a) != 0) *flags |= FPSCR_IXC;
    *result = from_host<T>(root);
    return true;
}

} // namespace ostrel::fplib::detail
