// Predicate-count kernels: DECP (scalar), INCP and DECP (vector), the saturating SQINCP, UQINCP,
// SQDECP and UQDECP (32-bit and 64-bit scalars, vectors), and the loop terminators CTERMEQ and
// CTERMNE.
#include "sve/exec/integer/int_helpers.h"
#include "sve/exec/integer/pred_access.h"
#include "sve/exec/integer/pred_flags.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::pred;
using ostrel::ones;

namespace {

// Active elements of Pm at EsizeBits, out of VL x 64 / EsizeBits.
template <unsigned EsizeBits> uint64_t active_count(const PredV &pm, const CpuContext *ctx) {
    return count_active(kernel_bits(ctx), EsizeBits / 8, ValueReader{pm});
}

// The saturating step of one value of Width bits; a 32-bit result leaves sign- or zero-extended.
template <bool Increment>
uint64_t saturate_step(uint64_t value, uint64_t count, int width, bool is_signed) {
    const int u = is_signed ? ostrel::kSigned : ostrel::kUnsigned;
    const uint64_t raw = Increment ? ostrel::SatAdd(value, count, width, u)
                                   : ostrel::SatSub(value, count, width, u).value;
    const uint64_t low = raw & ones(width);
    if (width == 64 || !is_signed) return low;
    return static_cast<uint64_t>(ostrel::Int(low, width, ostrel::kSigned));
}

template <unsigned EsizeBits, bool Increment, bool Signed, int Width>
uint64_t saturating_scalar(const PredV &pm, uint64_t value, CpuContext *ctx) {
    return saturate_step<Increment>(value, active_count<EsizeBits>(pm, ctx), Width, Signed);
}

// Every element of Zdn stepped by the count; Saturating selects SatAdd/SatSub over wrapping.
template <typename T, bool Increment, bool Saturating, bool Signed>
VecValue vector_step(const PredV &pm, const VecValue &zdn, CpuContext *ctx) {
    constexpr unsigned esize = sizeof(T) * 8;
    const uint64_t count = active_count<esize>(pm, ctx);
    const unsigned n = (ctx->vl & ostrel::kVlMask) * 8 / sizeof(T);
    VecValue result = zdn;
    for (unsigned i = 0; i < n; ++i) {
        const uint64_t v = zdn.get<T>(i);
        uint64_t r;
        if (Saturating)
            r = saturate_step<Increment>(v, count, esize, Signed);
        else
            r = Increment ? v + count : v - count;
        result.set<T>(i, static_cast<T>(r));
    }
    return result;
}

// N = 1 and V = 0 when the loop ends here; otherwise N = 0 and V = NOT C. Z and C are kept.
template <typename T, bool Equal> void cterm(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    const bool terminate = (static_cast<T>(rn) == static_cast<T>(rm)) == Equal;
    uint32_t nzcv = ctx->nzcv & ~(ostrel::kFlagN | ostrel::kFlagV);
    if (terminate)
        nzcv |= ostrel::kFlagN;
    else if (!(nzcv & ostrel::kFlagC))
        nzcv |= ostrel::kFlagV;
    ctx->nzcv = nzcv;
}

} // namespace

// DECP Xdn, Pm.<T>
#define OSTREL_DECP_SCALAR(bits)                                                                   \
    uint64_t VecU##bits##DecrSCountPS(PredV pm, uint64_t xdn, CpuContext *ctx) {                   \
        return xdn - active_count<bits>(pm, ctx);                                                  \
    }
OSTREL_DECP_SCALAR(8)
OSTREL_DECP_SCALAR(16)
OSTREL_DECP_SCALAR(32)
OSTREL_DECP_SCALAR(64)
#undef OSTREL_DECP_SCALAR

// INCP, DECP, and their saturating forms on vectors.
#define OSTREL_VECTOR_COUNTS(bits)                                                                 \
    VecValue VecU##bits##IncrCountPV(PredV pm, VecValue zdn, CpuContext *ctx) {                    \
        return vector_step<uint##bits##_t, true, false, false>(pm, zdn, ctx);                      \
    }                                                                                              \
    VecValue VecU##bits##DecrCountPV(PredV pm, VecValue zdn, CpuContext *ctx) {                    \
        return vector_step<uint##bits##_t, false, false, false>(pm, zdn, ctx);                     \
    }                                                                                              \
    VecValue VecU##bits##QIncrCountPV(PredV pm, VecValue zdn, CpuContext *ctx) {                   \
        return vector_step<uint##bits##_t, true, true, false>(pm, zdn, ctx);                       \
    }                                                                                              \
    VecValue VecU##bits##QDecrCountPV(PredV pm, VecValue zdn, CpuContext *ctx) {                   \
        return vector_step<uint##bits##_t, false, true, false>(pm, zdn, ctx);                      \
    }                                                                                              \
    VecValue VecS##bits##QIncrCountPV(PredV pm, VecValue zdn, CpuContext *ctx) {                   \
        return vector_step<uint##bits##_t, true, true, true>(pm, zdn, ctx);                        \
    }                                                                                              \
    VecValue VecS##bits##QDecrCountPV(PredV pm, VecValue zdn, CpuContext *ctx) {                   \
        return vector_step<uint##bits##_t, false, true, true>(pm, zdn, ctx);                       \
    }
OSTREL_VECTOR_COUNTS(16)
OSTREL_VECTOR_COUNTS(32)
OSTREL_VECTOR_COUNTS(64)
#undef OSTREL_VECTOR_COUNTS

// SQINCP, UQINCP, SQDECP, UQDECP on Wdn (4) and Xdn (8); the type names Pm's element size.
#define OSTREL_SATURATING_SCALAR(type, bits, is_signed)                                            \
    uint64_t Vec##type##bits##QIncrSCount4PS(PredV pm, uint64_t wdn, CpuContext *ctx) {            \
        return saturating_scalar<bits, true, is_signed, 32>(pm, wdn, ctx);                         \
    }                                                                                              \
    uint64_t Vec##type##bits##QDecrSCount4PS(PredV pm, uint64_t wdn, CpuContext *ctx) {            \
        return saturating_scalar<bits, false, is_signed, 32>(pm, wdn, ctx);                        \
    }                                                                                              \
    uint64_t Vec##type##bits##QIncrSCount8PS(PredV pm, uint64_t xdn, CpuContext *ctx) {            \
        return saturating_scalar<bits, true, is_signed, 64>(pm, xdn, ctx);                         \
    }                                                                                              \
    uint64_t Vec##type##bits##QDecrSCount8PS(PredV pm, uint64_t xdn, CpuContext *ctx) {            \
        return saturating_scalar<bits, false, is_signed, 64>(pm, xdn, ctx);                        \
    }
OSTREL_SATURATING_SCALAR(S, 8, true)
OSTREL_SATURATING_SCALAR(S, 16, true)
OSTREL_SATURATING_SCALAR(S, 32, true)
OSTREL_SATURATING_SCALAR(S, 64, true)
OSTREL_SATURATING_SCALAR(U, 8, false)
OSTREL_SATURATING_SCALAR(U, 16, false)
OSTREL_SATURATING_SCALAR(U, 32, false)
OSTREL_SATURATING_SCALAR(U, 64, false)
#undef OSTREL_SATURATING_SCALAR

void VecU32CTermEQ(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    cterm<uint32_t, true>(rn, rm, ctx);
}
void VecU32CTermNE(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    cterm<uint32_t, false>(rn, rm, ctx);
}
void VecU64CTermEQ(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    cterm<uint64_t, true>(rn, rm, ctx);
}
void VecU64CTermNE(uint64_t rn, uint64_t rm, CpuContext *ctx) {
    cterm<uint64_t, false>(rn, rm, ctx);
}
