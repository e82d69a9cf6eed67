// The reciprocal and reciprocal-square-root estimates: 8-bit integer estimates of the
// architecture, with the special cases and range ends of each.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

#include <array>

namespace ostrel::fplib {

namespace {

// RecipSqrtEstimate(a) for a in 128..511, in 256..511.
constexpr int recip_sqrt_estimate_of(int a) {
    a = a < 256 ? 2 * a + 1 : 2 * ((a & ~1) + 1);
    int b = 512;
    while (int64_t(a) * (b + 1) * (b + 1) < (int64_t(1) << 28))
        ++b;
    return (b + 1) >> 1;
}

constexpr std::array<uint8_t, 256> make_recip_sqrt_table() {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const int a = i < 128 ? 128 + i : 256 + 2 * (i - 128);
        table[i] = static_cast<uint8_t>(recip_sqrt_estimate_of(a) - 256);
    }
    return table;
}

constexpr std::array<uint8_t, 256> kRecipSqrtTable = make_recip_sqrt_table();

// The overflowed reciprocal: infinity or the largest finite value by rounding mode and sign.
template <class T> T recip_overflow(int sign, int rm) {
    using Fmt = FPFormat<T>;
    const bool to_infinity = rm == FPRounding_TIEEVEN || (rm == FPRounding_POSINF && !sign) ||
                             (rm == FPRounding_NEGINF && sign);
    return to_infinity ? Fmt::inf(sign) : Fmt::max_finite(sign);
}

} // namespace

namespace tables {
const uint8_t recip_sqrt_estimate[256] = {
#define ROW(i)                                                                                     \
    kRecipSqrtTable[i], kRecipSqrtTable[i + 1], kRecipSqrtTable[i + 2], kRecipSqrtTable[i + 3],    \
        kRecipSqrtTable[i + 4], kRecipSqrtTable[i + 5], kRecipSqrtTable[i + 6],                    \
        kRecipSqrtTable[i + 7]
#define ROWS(i) ROW(i), ROW(i + 8), ROW(i + 16), ROW(i + 24)
    ROWS(0), ROWS(32), ROWS(64), ROWS(96), ROWS(128), ROWS(160), ROWS(192), ROWS(224),
#undef ROWS
#undef ROW
};
} // namespace tables

template <class T> T FPRecipEstimate(T op, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    constexpr int F = Fmt::F;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    FPUnpacked<T> u = fp_unpack(op, mode, &flags);
    const int raw_exp = static_cast<int>((op >> F) & Fmt::exp_max);
    T result;
    if (Fmt::is_nan(op)) {
        result = fp_process_nan(op, mode, &flags);
    } else if (u.is_infinity()) {
        result = Fmt::zero(u.sign);
    } else if (u.is_zero()) {
        flags |= FPSCR_DZC;
        result = Fmt::inf(u.sign);
    } else if (raw_exp == 0 && (u.mnt >> (F - 2)) == 0) {
        // So small that the reciprocal overflows.
        flags |= FPSCR_OFC | FPSCR_IXC;
        result = recip_overflow<T>(u.sign, mode & FPLIB_RM_MASK);
    } else if ((mode & Fmt::flush_mode) && raw_exp >= 2 * Fmt::bias - 1) {
        flags |= FPSCR_UFC;
        result = Fmt::zero(u.sign);
    } else {
        fp_normalise(u);
        const int a = static_cast<int>(u.mnt >> (F - 8)); // 256..511
        const int r = ((1 << 19) / (2 * a + 1) + 1) >> 1; // 256..511
        int exp = 2 * Fmt::bias - 1 - u.exp;
        T significand = static_cast<T>(T(r) << (F - 8));
        if (exp <= 0) {
            significand = static_cast<T>(significand >> (1 - exp));
            exp = 0;
        }
        result = static_cast<T>(Fmt::zero(u.sign) | (T(exp) << F) | (significand & Fmt::frac_mask));
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

template <class T> T FPRSqrtEstimate(T op, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    constexpr int F = Fmt::F;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    FPUnpacked<T> u = fp_unpack(op, mode, &flags);
    T result;
    if (Fmt::is_nan(op)) {
        result = fp_process_nan(op, mode, &flags);
    } else if (u.is_zero()) {
        flags |= FPSCR_DZC;
        result = Fmt::inf(u.sign);
    } else if (u.sign) {
        flags |= FPSCR_IOC;
        result = Fmt::default_nan;
    } else if (u.is_infinity()) {
        result = 0;
    } else {
        fp_normalise(u);
        const int index = static_cast<int>((u.mnt >> (F - 7)) & 127) + ((u.exp & 1) ? 0 : 128);
        const int exp = (3 * Fmt::bias - 1 - u.exp) >> 1;
        result = static_cast<T>((T(exp) << F) | (T(tables::recip_sqrt_estimate[index]) << (F - 8)));
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

#define INSTANTIATE(T)                                                                             \
    template T FPRecipEstimate<T>(T, FPSCR &);                                                     \
    template T FPRSqrtEstimate<T>(T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
