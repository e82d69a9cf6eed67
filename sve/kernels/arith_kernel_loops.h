// Element loops of the integer arithmetic kernels over vector values: VL x 8 bytes of elements,
// taken from the context, in ascending order. Results are built in a local value and returned
// whole; a predicate result has each element's first bit set from the operation and its other
// bits clear.
#pragma once

#include <cstdint>

#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/kernels/vec_value.h"

namespace ostrel::arith_kernels {

template <typename T> inline unsigned elements(const CpuContext *ctx) {
    return (ctx->vl & kVlMask) * 8 / sizeof(T);
}

template <typename T> inline bool active(const PredV &pg, unsigned i) {
    return pg.bit(i * sizeof(T));
}

// Op(Zdn, Zm) on active elements; inactive elements keep Zdn.
template <typename Op, typename T>
VecValue merging(const VecValue &zdn, const PredV &pg, const VecValue &zm, const CpuContext *ctx) {
    VecValue result = zdn;
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        if (active<T>(pg, i)) result.set<T>(i, Op::apply(zdn.get<T>(i), zm.get<T>(i)));
    return result;
}

// Op(Zn, Zm) on every element.
template <typename Op, typename T>
VecValue unpredicated(const VecValue &zn, const VecValue &zm, const CpuContext *ctx) {
    VecValue result{};
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        result.set<T>(i, Op::apply(zn.get<T>(i), zm.get<T>(i)));
    return result;
}

// Op(Zdn, imm) on every element; the caller says whether imm is cut to the element first.
template <typename Op, typename T, typename Imm>
VecValue with_immediate(const VecValue &zdn, Imm imm, const CpuContext *ctx) {
    VecValue result{};
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        result.set<T>(i, Op::apply(zdn.get<T>(i), imm));
    return result;
}

// Each active element's first bit is truth(i), every other bit 0; then NZCV by PredTest of the
// governing predicate and the result.
template <typename T, typename Truth> PredV compare(const PredV &pg, Truth truth, CpuContext *ctx) {
    PredV result;
    result.clear();
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        if (active<T>(pg, i)) result.set_bit(i * sizeof(T), truth(i));
    PredSetNZCV(pg, result, integer::kElementBits<T>, ctx);
    return result;
}

// Dot product lanes: accumulator element i adds the four products of Zn's narrow elements
// 4i..4i+3 with Zm's narrow elements first_m(i)..first_m(i)+3.
template <bool Signed, typename Acc, typename FirstM>
VecValue dot(const VecValue &zn, const VecValue &zm, const VecValue &zda, FirstM first_m,
             const CpuContext *ctx) {
    using N = std::conditional_t<sizeof(Acc) == 4, uint8_t, uint16_t>;
    VecValue result{};
    for (unsigned i = 0, n = elements<Acc>(ctx); i < n; ++i) {
        N a[4], b[4];
        const unsigned m = first_m(i);
        for (unsigned k = 0; k < 4; ++k) {
            a[k] = zn.get<N>(4 * i + k);
            b[k] = zm.get<N>(m + k);
        }
        result.set<Acc>(i, integer::DotElement<Signed>::apply(zda.get<Acc>(i), a, b));
    }
    return result;
}

} // namespace ostrel::arith_kernels
