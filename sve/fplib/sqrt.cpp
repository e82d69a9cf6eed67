// FPSqrt: the truncated integer square root of a scaled significand and an exact sticky bit.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

// floor(sqrt(n)), digit by digit: exact for any width, and the radicands here are short.
template <class U> U integer_sqrt(U n) {
    U root = 0;
    U bit = U(1) << ((bit_count<U> - 1 - leading_zeros(n)) & ~1);
    while (bit) {
        if (n >= root + bit) {
            n -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return root;
}

// The radicands of half and single fit in 64 bits; only double needs the 128-bit loop.
template <class U> U wide_sqrt(U n) {
    if constexpr (bit_count < U >> 64) {
        if (!(n >> 64)) return integer_sqrt<uint64_t>(static_cast<uint64_t>(n));
    }
    return integer_sqrt<U>(n);
}

} // namespace

template <class T> T FPSqrt(T op, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    FPUnpacked<T> a = fp_unpack(op, mode, &flags);
    T result;
    if (Fmt::is_nan(op)) {
        result = fp_process_nan(op, mode, &flags);
    } else if (a.is_zero()) {
        result = Fmt::zero(a.sign);
    } else if (a.is_special() && !a.sign) {
        result = Fmt::infinity;
    } else if (a.sign) {
        result = Fmt::default_nan;
        flags |= FPSCR_IOC;
    } else {
        fp_normalise(a);
        // value = mnt x 2^(exp - bias - F); scale the radicand by 2^shift so the remaining power
        // of two is even and the root has F + 2 or more bits.
        const int power = a.exp - Fmt::bias - Fmt::F;
        const int shift = ((power - (Fmt::F + 3)) & 1) ? Fmt::F + 4 : Fmt::F + 3;
        const Wide radicand = static_cast<Wide>(static_cast<Wide>(a.mnt) << shift);
        const Wide root = wide_sqrt(radicand);
        const bool inexact = root * root != radicand;
        const T r = static_cast<T>((static_cast<T>(root) << 1) | T(inexact));
        result = fp_round_integer<T>(0, (power - shift) / 2 + Fmt::bias - 1, r,
                                     mode & FPLIB_RM_MASK, mode, &flags);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

#define INSTANTIATE(T) template T FPSqrt<T>(T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
