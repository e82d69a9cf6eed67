// Kernels of the integer reductions: SADDV on byte, halfword and word elements.
#include "sve/exec/integer/reduce_elements.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

// Folds the active elements of the context's VL x 8 bytes in ascending order.
template <typename Fold, typename T>
uint64_t reduce(const PredV &pg, const VecValue &zn, const CpuContext *ctx) {
    const unsigned elements = (ctx->vl & ostrel::kVlMask) * 8 / sizeof(T);
    uint64_t acc = Fold::kIdentity;
    for (unsigned i = 0; i < elements; ++i)
        if (pg.bit(i * sizeof(T))) acc = Fold::apply(acc, zn.get<T>(i));
    return acc;
}

} // namespace

uint64_t VecS8AddReduceV(PredV pg, VecValue zn, CpuContext *ctx) {
    return reduce<ostrel::integer::SignedAddFold<uint8_t>, uint8_t>(pg, zn, ctx);
}
uint64_t VecS16AddReduceV(PredV pg, VecValue zn, CpuContext *ctx) {
    return reduce<ostrel::integer::SignedAddFold<uint16_t>, uint16_t>(pg, zn, ctx);
}
uint64_t VecS32AddReduceV(PredV pg, VecValue zn, CpuContext *ctx) {
    return reduce<ostrel::integer::SignedAddFold<uint32_t>, uint32_t>(pg, zn, ctx);
}
