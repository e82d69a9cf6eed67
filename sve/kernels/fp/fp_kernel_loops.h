// Element loops of the floating-point kernels. Every active element gets a fresh FPSCR made from
// the context's FPCR; after the library call its flags join the context's FPSR. Results are
// assembled in a local value, so a destination that is also a source is read with its old value.
#pragma once

#include <cstdint>
#include <type_traits>

#include "sve/fplib/fplib.h"
#include "sve/kernels/vec_value.h"

namespace ostrel::fp_kernels {

using fplib::FPSCR;

// FPSR keeps the cumulative flags and QC..N; the control bits of the per-element word fall away.
constexpr uint32_t kFpsrKeep = 0xf800009f;
// Conversions between widths use IEEE half precision and never flush a half operand.
constexpr uint32_t kConversionIgnores = fplib::FPSCR_FZ16 | fplib::FPSCR_AHP;

template <typename T> inline unsigned elements(const CpuContext *ctx) {
    return (ctx->vl & kVlMask) * 8 / sizeof(T);
}

template <typename T> inline bool active(const PredV &pg, unsigned i) {
    return pg.bit(i * sizeof(T));
}

// Patterns of one format, by container type.
template <typename T> struct Format {
    static constexpr unsigned kBits = sizeof(T) * 8;
    static constexpr T kSign = static_cast<T>(T(1) << (kBits - 1));
    static constexpr unsigned kFractionBits = kBits == 16 ? 10 : kBits == 32 ? 23 : 52;
    static constexpr unsigned kExponentBits = kBits - 1 - kFractionBits;
    static constexpr T kInfinity = static_cast<T>(((T(1) << kExponentBits) - 1) << kFractionBits);
    static constexpr T kDefaultNaN = static_cast<T>(kInfinity | T(1) << (kFractionBits - 1));
    static constexpr T kOne = static_cast<T>((kInfinity >> 1) & kInfinity);
};

// One element's library call: op(fpscr) with a fresh FPSCR, less the control bits Ignored.
template <uint32_t Ignored = 0, typename Op> inline auto with_fpscr(CpuContext *ctx, Op &&op) {
    FPSCR fpscr = ctx->fpcr & ~Ignored;
    const auto result = op(fpscr);
    ctx->fpsr = (ctx->fpsr | fpscr) & kFpsrKeep;
    return result;
}

// op(i, fpscr) gives active element i; inactive elements keep `old`.
template <typename T, uint32_t Ignored = 0, typename Op>
VecValue merging(const VecValue &old, const PredV &pg, CpuContext *ctx, Op op) {
    VecValue result = old;
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        if (active<T>(pg, i))
            result.set<T>(i, static_cast<T>(with_fpscr<Ignored>(
                                 ctx, [&](FPSCR &fpscr) { return op(i, fpscr); })));
    return result;
}

// op(i, fpscr) gives every element.
template <typename T, typename Op> VecValue unpredicated(CpuContext *ctx, Op op) {
    VecValue result{};
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        result.set<T>(i, with_fpscr(ctx, [&](FPSCR &fpscr) { return op(i, fpscr); }));
    return result;
}

// Op::apply(a, b, fpscr) on the elements of two vectors.
template <typename T, typename Op>
VecValue merging_binary(const VecValue &zdn, const PredV &pg, const VecValue &zm, CpuContext *ctx) {
    return merging<T>(zdn, pg, ctx, [&](unsigned i, FPSCR &fpscr) {
        return Op::apply(zdn.get<T>(i), zm.get<T>(i), fpscr);
    });
}
template <typename T, typename Op>
VecValue unpredicated_binary(const VecValue &zn, const VecValue &zm, CpuContext *ctx) {
    return unpredicated<T>(ctx, [&](unsigned i, FPSCR &fpscr) {
        return Op::apply(zn.get<T>(i), zm.get<T>(i), fpscr);
    });
}

// Op::apply(a, fpscr) on the elements of one vector.
template <typename T, typename Op>
VecValue merging_unary(const VecValue &zd, const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    return merging<T>(zd, pg, ctx,
                      [&](unsigned i, FPSCR &fpscr) { return Op::apply(zn.get<T>(i), fpscr); });
}
template <typename T, typename Op>
VecValue unpredicated_unary(const VecValue &zn, CpuContext *ctx) {
    return unpredicated<T>(
        ctx, [&](unsigned i, FPSCR &fpscr) { return Op::apply(zn.get<T>(i), fpscr); });
}

// Each active element's first bit is truth(i, fpscr); every other bit is 0. No NZCV.
template <typename T, typename Truth> PredV compare(const PredV &pg, CpuContext *ctx, Truth truth) {
    PredV result;
    result.clear();
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        if (active<T>(pg, i))
            result.set_bit(i * sizeof(T),
                           with_fpscr(ctx, [&](FPSCR &fpscr) { return truth(i, fpscr); }));
    return result;
}

} // namespace ostrel::fp_kernels

// Kernel(Type, element container, Family, Op) for the element types a family's rows name.
#define OSTREL_FP_HALF(Kernel, Family, Op) Kernel(F16, uint16_t, Family, Op)
#define OSTREL_FP_HALF_SINGLE(Kernel, Family, Op)                                                  \
    Kernel(F16, uint16_t, Family, Op) Kernel(F32, uint32_t, Family, Op)
#define OSTREL_FP_SINGLE_DOUBLE(Kernel, Family, Op)                                                \
    Kernel(F32, uint32_t, Family, Op) Kernel(D64, uint64_t, Family, Op)
#define OSTREL_FP_EVERY(Kernel, Family, Op)                                                        \
    Kernel(F16, uint16_t, Family, Op) OSTREL_FP_SINGLE_DOUBLE(Kernel, Family, Op)
