// Element loops of the logical, shift and bit kernels on vector values: VL from the context,
// elements in ascending order, the governing predicate's bit at each element's first byte.
// Merging shapes start from the old destination value, so inactive elements (and the bytes past
// the vector length) keep it.
#pragma once

#include <cstdint>

#include "sve/kernels/vec_value.h"

namespace ostrel::logical_kernels {

template <typename T> inline unsigned element_count(const CpuContext *ctx) {
    return (ctx->vl & kVlMask) * 8 / sizeof(T);
}

template <typename T> inline bool active(const PredV &pg, unsigned i) {
    return pg.bit(i * sizeof(T));
}

// result[i] = Op(zn[i]) where active, else old[i].
template <typename Op, typename T>
VecValue merging_unary(const VecValue &old, const PredV &pg, const VecValue &zn,
                       const CpuContext *ctx) {
    VecValue result = old;
    for (unsigned i = 0, n = element_count<T>(ctx); i < n; ++i)
        if (active<T>(pg, i)) result.set<T>(i, Op::apply(zn.get<T>(i)));
    return result;
}

// result[i] = Op(zdn[i], zm[i]) where active, else zdn[i].
template <typename Op, typename T>
VecValue merging_binary(const VecValue &zdn, const PredV &pg, const VecValue &zm,
                        const CpuContext *ctx) {
    VecValue result = zdn;
    for (unsigned i = 0, n = element_count<T>(ctx); i < n; ++i)
        if (active<T>(pg, i)) result.set<T>(i, Op::apply(zdn.get<T>(i), zm.get<T>(i)));
    return result;
}

// result[i] = Op(zdn[i], imm) where active, else zdn[i].
template <typename Op, typename T>
VecValue merging_immediate(const VecValue &zdn, const PredV &pg, uint64_t imm,
                           const CpuContext *ctx) {
    VecValue result = zdn;
    for (unsigned i = 0, n = element_count<T>(ctx); i < n; ++i)
        if (active<T>(pg, i)) result.set<T>(i, Op::apply(zdn.get<T>(i), imm));
    return result;
}

// result[i] = Op(zn[i], imm) on every element.
template <typename Op, typename T>
VecValue unpredicated_immediate(const VecValue &zn, uint64_t imm, const CpuContext *ctx) {
    VecValue result{};
    for (unsigned i = 0, n = element_count<T>(ctx); i < n; ++i)
        result.set<T>(i, Op::apply(zn.get<T>(i), imm));
    return result;
}

// The 64-bit element of `wide` that lies in the same 64-bit segment as element i of T.
template <typename T> inline uint64_t wide_element(const VecValue &wide, unsigned i) {
    return wide.get<uint64_t>(i * sizeof(T) / 8);
}

// result[i] = Op(zdn[i], wide segment of i) where active, else zdn[i].
template <typename Op, typename T>
VecValue merging_wide(const VecValue &zdn, const PredV &pg, const VecValue &zm,
                      const CpuContext *ctx) {
    VecValue result = zdn;
    for (unsigned i = 0, n = element_count<T>(ctx); i < n; ++i)
        if (active<T>(pg, i)) result.set<T>(i, Op::apply(zdn.get<T>(i), wide_element<T>(zm, i)));
    return result;
}

// result[i] = Op(zn[i], wide segment of i) on every element.
template <typename Op, typename T>
VecValue unpredicated_wide(const VecValue &zn, const VecValue &zm, const CpuContext *ctx) {
    VecValue result{};
    for (unsigned i = 0, n = element_count<T>(ctx); i < n; ++i)
        result.set<T>(i, Op::apply(zn.get<T>(i), wide_element<T>(zm, i)));
    return result;
}

} // namespace ostrel::logical_kernels
