// Float to signed or unsigned integer (fixed point with fbits fraction bits): one 64-bit core,
// then saturation to the result's width.
#include "sve/fplib/fp_integral.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

#include <limits>

namespace ostrel::fplib {

namespace {

template <class U> U saturated(int sign, bool is_unsigned) {
    if (is_unsigned) return sign ? U(0) : std::numeric_limits<U>::max();
    const U most_negative = static_cast<U>(U(1) << (bit_count<U> - 1));
    return sign ? most_negative : static_cast<U>(most_negative - 1);
}

} // namespace

uint64_t FPToFixed_64(int sign, int exp, uint64_t mnt, bool is_unsigned, FPRounding rounding,
                      int *flags) {
    constexpr int double_bias = 1023, double_frac = 52;
    if (exp > double_bias + 63) {
        *flags = FPSCR_IOC;
        return saturated<uint64_t>(sign, is_unsigned);
    }
    const int shift = double_bias + double_frac - exp;
    IntegerPart p{mnt, 0};
    if (shift > 0) {
        p = integer_part(mnt, shift);
    } else {
        p.x = mnt << -shift;
    }
    if (rounds_up(p, sign, rounding)) ++p.x;
    const bool out_of_range =
        is_unsigned ? sign && p.x != 0 : p.x > (uint64_t(1) << 63) - (sign ? 0 : 1);
    if (out_of_range) {
        *flags = FPSCR_IOC;
        return saturated<uint64_t>(sign, is_unsigned);
    }
    *flags = p.err ? FPSCR_IXC : 0;
    return sign ? ~p.x + 1 : p.x;
}

template <class T, class U>
U fplibFPToFixed(T op, int fbits, bool is_unsigned, FPRounding rounding, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int unpack_flags = 0;
    const FPUnpacked<T> u = fp_unpack(op, mode, &unpack_flags);
    int flags = 0;
    U result;
    if (u.is_special()) {
        flags = FPSCR_IOC;
        result = u.is_infinity() ? saturated<U>(u.sign, is_unsigned) : U(0);
    } else if (u.is_zero()) {
        result = 0;
    } else {
        const int exp = u.exp - Fmt::bias + 1023 + fbits;
        const uint64_t mnt = static_cast<uint64_t>(u.mnt) << (52 - Fmt::F);
        const uint64_t x = FPToFixed_64(u.sign, exp, mnt, is_unsigned, rounding, &flags);
        if (flags & FPSCR_IOC) {
            result = saturated<U>(u.sign, is_unsigned);
        } else if constexpr (sizeof(U) == 8) {
            result = x;
        } else {
            const bool fits =
                is_unsigned ? x <= std::numeric_limits<U>::max()
                            : static_cast<int64_t>(x) >= -(int64_t(1) << (bit_count<U> - 1)) &&
                                  static_cast<int64_t>(x) < (int64_t(1) << (bit_count<U> - 1));
            if (fits) {
                result = static_cast<U>(x);
            } else {
                flags = FPSCR_IOC;
                result = saturated<U>(u.sign, is_unsigned);
            }
        }
    }
    fp_merge_flags(fpscr, flags | unpack_flags);
    return result;
}

#define INSTANTIATE(T, U) template U fplibFPToFixed<T, U>(T, int, bool, FPRounding, FPSCR &);
INSTANTIATE(uint16_t, uint16_t)
INSTANTIATE(uint16_t, uint32_t)
INSTANTIATE(uint16_t, uint64_t)
INSTANTIATE(uint32_t, uint16_t)
INSTANTIATE(uint32_t, uint32_t)
INSTANTIATE(uint32_t, uint64_t)
INSTANTIATE(uint64_t, uint16_t)
INSTANTIATE(uint64_t, uint32_t)
INSTANTIATE(uint64_t, uint64_t)

} // namespace ostrel::fplib
