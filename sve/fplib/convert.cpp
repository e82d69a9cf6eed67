// FPConvert between the three widths: NaN payloads keep their top fraction bits, widening is exact,
// narrowing rounds once; alternative half precision on either side when FPSCR.AHP is set.
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

template <class T, class U> U convert_nan(T op, int mode, int *flags) {
    using From = FPFormat<T>;
    using To = FPFormat<U>;
    if (From::is_signalling(op)) *flags |= FPSCR_IOC;
    if (mode & FPLIB_DN) return To::default_nan;
    const T fraction = static_cast<T>(op & From::frac_mask);
    U payload;
    if constexpr (From::F > To::F) {
        payload = static_cast<U>(fraction >> (From::F - To::F));
    } else {
        payload = static_cast<U>(static_cast<U>(fraction) << (To::F - From::F));
    }
    const int sign = static_cast<int>(op >> (From::width - 1));
    return static_cast<U>(To::inf(sign) | To::quiet_bit | payload);
}

} // namespace

template <class T, class U> U FPConvert(T op, FPRounding rounding, FPSCR &fpscr) {
    using From = FPFormat<T>;
    using To = FPFormat<U>;
    const bool ahp = (fpscr & FPSCR_AHP) != 0;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> u = fp_unpack(op, mode, &flags);
    // Under AHP a half input has no infinities or NaNs: exponent 31 is ordinary.
    const bool special = u.is_special() && !(sizeof(T) == 2 && ahp);
    U result;
    if (special && sizeof(U) == 2 && ahp) {
        flags |= FPSCR_IOC; // AHP has neither infinity nor NaN to convert to
        result = static_cast<U>(To::zero(u.sign) | (u.is_infinity() ? 0x7fff : 0));
    } else if (special && !u.is_infinity()) {
        result = convert_nan<T, U>(op, mode, &flags);
    } else if (special) {
        result = To::inf(u.sign);
    } else if (u.is_zero()) {
        result = To::zero(u.sign);
    } else {
        // A half result is never flushed; the AHP range applies to half results only.
        int result_mode = mode & ~FPLIB_FZ16;
        if (sizeof(U) == 2 && ahp) result_mode |= FPLIB_AHP;
        result = fp_round_integer<U>(u.sign, u.exp - From::bias - From::F + To::bias, u.mnt,
                                     rounding, result_mode, &flags);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

template uint16_t FPConvert<uint32_t, uint16_t>(uint32_t, FPRounding, FPSCR &);
template uint16_t FPConvert<uint64_t, uint16_t>(uint64_t, FPRounding, FPSCR &);
template uint32_t FPConvert<uint16_t, uint32_t>(uint16_t, FPRounding, FPSCR &);
template uint32_t FPConvert<uint64_t, uint32_t>(uint64_t, FPRounding, FPSCR &);
template uint64_t FPConvert<uint16_t, uint64_t>(uint16_t, FPRounding, FPSCR &);
template uint64_t FPConvert<uint32_t, uint64_t>(uint32_t, FPRounding, FPSCR &);

} // namespace ostrel::fplib
