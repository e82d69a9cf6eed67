// FPSqrt: the truncated integer square root of a scaled significand and an exact sticky bit.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"
#include "sve/fplib/host_exact.h"

namespace ostrel::fplib {

namespace {

// floor(sqrt(n)), by bisection: only for building the table below at compile time.
constexpr uint64_t bisect_sqrt(uint64_t n) {
    uint64_t low = 0, high = uint64_t(1) << 32;
    while (high - low > 1) {
        const uint64_t mid = (low + high) / 2;
        (mid * mid <= n ? low : high) = mid;
    }
    return low;
}

// 1/sqrt(x) for x in [1, 4) to about 9 bits, by the top 8 bits of x (64 to 255): entry i is
// 2^15 / sqrt((i + 64.5) / 64), in units of 2^-15.
struct RootTable {
    uint16_t entry[192];
    constexpr RootTable() : entry() {
        for (int i = 0; i < 192; ++i)
            entry[i] = bisect_sqrt((uint64_t(1) << 37) / (2 * i + 129));
    }
};
constexpr RootTable kRootTable;

// floor(sqrt(n)) for n > 0: a reciprocal-square-root estimate refined by `steps` Newton steps
// (each doubles its correct bits: one gives 15, two 30, three 59), multiplied out, then made exact
// by integer comparison. U: an unsigned integer of 32, 64 or 128 bits (n below 2^126).
template <class U> U integer_sqrt(U n, int steps) {
    constexpr int B = bit_count<U>;
    // x = X / 2^62 in [1, 4): the top 64 bits of n shifted left by an even amount k.
    const int k = leading_zeros(n) & ~1;
    uint64_t X;
    if constexpr (B > 64) {
        X = static_cast<uint64_t>(static_cast<U>(n << k) >> (B - 64));
    } else {
        X = static_cast<uint64_t>(n) << (k + 64 - B);
    }
    // y ~ 1/sqrt(x) as Y / 2^63.
    uint64_t Y = static_cast<uint64_t>(kRootTable.entry[(X >> 56) - 64]) << 48;
    for (int i = 0; i < steps; ++i) { // y += y (1 - x y^2) / 2
        const uint64_t y2 = static_cast<uint64_t>((static_cast<u128>(Y) * Y) >> 63);
        const uint64_t xy2 = static_cast<uint64_t>((static_cast<u128>(X) * y2) >> 62);
        const int64_t d = static_cast<int64_t>((uint64_t(1) << 63) - xy2); // 1 - x y^2, at 2^-63
        Y += static_cast<uint64_t>(static_cast<__int128>((static_cast<__int128>(Y) * d) >> 64));
    }
    // sqrt(n) = x y 2^(B/2 - 1 - k/2), and x y = X Y / 2^125.
    u128 r = (static_cast<u128>(X) * Y) >> (126 - B / 2 + k / 2);
    const u128 wide = n;
    while (r * r > wide)
        --r;
    while ((r + 1) * (r + 1) <= wide)
        ++r;
    return static_cast<U>(r);
}

} // namespace

template <class T> T FPSqrt(T op, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    using Wide = typename Fmt::Wide;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    T result;
    if constexpr (sizeof(T) >= 4) {
        if (detail::host_sqrt<T>(op, mode, &result, &flags)) {
            fp_merge_flags(fpscr, flags);
            return result;
        }
    }
    FPUnpacked<T> a = fp_unpack(op, mode, &flags);
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
        // The root has F + 2 or F + 3 bits: Newton steps enough for them.
        const Wide root = integer_sqrt<Wide>(radicand, Fmt::F < 12 ? 1 : Fmt::F < 27 ? 2 : 3);
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
