// The host's IEEE single and double arithmetic where it gives exactly the library's bits and
// flags: round to nearest even, normal operands and a result at least twice the smallest normal
// and below the largest binade, so that no flushing, underflow or overflow can arise and the one
// possible flag is inexact, which the operation's exact error decides. Anything else returns
// false and the caller computes in software. Normal plus zero is answered in every mode.
#pragma once

#include "sve/fplib/fp_format.h"
#include "sve/fplib/host_bits.h"
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

// Half precision: a normal half widens exactly to double, and the sum of two normal halves is
// exact in double (it spans at most 41 significant bits). Rounding it to the 11 bits of a half
// is adding and removing 1.5 x 2^(e + 42), whose ulp in double is the half ulp 2^(e - 10) of the
// sum's binade e: to nearest, ties to even, because the constant is an even multiple of it. Sums
// whose binade is not well inside the half normal range are declined.
inline double normal_half_to_double(uint16_t h) {
    const uint64_t sign = h >> 15, exponent = (h >> 10) & 0x1fu, fraction = h & 0x3ffu;
    const uint64_t bits = sign << 63 | (exponent + 1023 - 15) << 52 | fraction << 42;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

inline bool host_add_half(uint16_t op1, uint16_t op2, int mode, uint16_t *result, int *flags) {
    if (!kHostArithmeticUsable || (mode & FPLIB_RM_MASK) != FPRounding_TIEEVEN ||
        !fp_is_normal(op1) || !fp_is_normal(op2))
        return false;
    const double sum = normal_half_to_double(op1) + normal_half_to_double(op2);
    uint64_t sum_bits;
    std::memcpy(&sum_bits, &sum, sizeof sum_bits);
    const int binade = static_cast<int>((sum_bits >> 52) & 0x7ff) - 1023;
    if (binade < -13 || binade > 14) return false; // half normals are binades -14 .. 15
    const uint64_t constant_bits = uint64_t(binade + 42 + 1023) << 52 | uint64_t{1} << 51;
    double constant;
    std::memcpy(&constant, &constant_bits, sizeof constant);
    const double rounded = (sum + constant) - constant;
    uint64_t bits;
    std::memcpy(&bits, &rounded, sizeof bits);
    const uint64_t exponent = ((bits >> 52) & 0x7ff) - 1023 + 15;
    *result = static_cast<uint16_t>((bits >> 63) << 15 | exponent << 10 | ((bits >> 42) & 0x3ff));
    if (rounded != sum) *flags |= FPSCR_IXC;
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
