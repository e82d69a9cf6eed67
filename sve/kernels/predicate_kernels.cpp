// Predicate kernels: PTRUES and WHILELE, each with the flags of PredTest.
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/integer/while_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

// A predicate of `elements` elements of EsizeBits whose first `count` elements are true.
template <unsigned EsizeBits> PredV leading_true(uint32_t count) {
    PredV p;
    p.clear();
    for (uint32_t e = 0; e < count; ++e)
        p.set_bit(e * (EsizeBits / 8), true);
    return p;
}

template <unsigned EsizeBits> uint32_t loop_elements(const CpuContext *ctx) {
    return (ctx->vl & ostrel::kVlMask) * 8 / (EsizeBits / 8);
}

template <unsigned EsizeBits> PredV ptrues(unsigned pattern, CpuContext *ctx) {
    const PredV result =
        leading_true<EsizeBits>(VecTrueILength(pattern, loop_elements<EsizeBits>(ctx)));
    PredSetNZCV(result, result, EsizeBits, ctx);
    return result;
}

// Rn and Rm arrive zero-extended from their register width T and compare as signed T.
template <unsigned EsizeBits, typename T> PredV whilele(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    const uint32_t count = ostrel::while_true_count<T, true>(static_cast<T>(rn), static_cast<T>(rm),
                                                             loop_elements<EsizeBits>(ctx));
    const PredV result = leading_true<EsizeBits>(count);
    PredV all_true;
    for (uint64_t &w : all_true.words)
        w = ~uint64_t{0};
    PredSetNZCV(all_true, result, EsizeBits, ctx);
    return result;
}

} // namespace

PredV VecP8TrueFlgI(unsigned pattern, CpuContext *ctx) {
    return ptrues<8>(pattern, ctx);
}
PredV VecP16TrueFlgI(unsigned pattern, CpuContext *ctx) {
    return ptrues<16>(pattern, ctx);
}
PredV VecP32TrueFlgI(unsigned pattern, CpuContext *ctx) {
    return ptrues<32>(pattern, ctx);
}
PredV VecP64TrueFlgI(unsigned pattern, CpuContext *ctx) {
    return ptrues<64>(pattern, ctx);
}

PredV VecS8While4LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<8, int32_t>(rn, rm, ctx);
}
PredV VecS16While4LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<16, int32_t>(rn, rm, ctx);
}
PredV VecS32While4LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<32, int32_t>(rn, rm, ctx);
}
PredV VecS64While4LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<64, int32_t>(rn, rm, ctx);
}
PredV VecS8While8LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<8, int64_t>(rn, rm, ctx);
}
PredV VecS16While8LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<16, int64_t>(rn, rm, ctx);
}
PredV VecS32While8LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<32, int64_t>(rn, rm, ctx);
}
PredV VecS64While8LESS(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    return whilele<64, int64_t>(rn, rm, ctx);
}
