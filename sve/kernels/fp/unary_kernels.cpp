// Kernels of the floating-point unary forms on the kernel road: sign operations, square root,
// exponent reciprocal and rounding to integral (Zd, Pg/M, Zn), and the unpredicated estimates
// (Zd, Zn).
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

#define OSTREL_FP_UNARY_OP(Name, Expression)                                                       \
    struct Name {                                                                                  \
        template <typename T> static T apply(T a, FPSCR &fpscr) { return Expression; }             \
    };
OSTREL_FP_UNARY_OP(Sqrt, FPSqrt(a, fpscr))
OSTREL_FP_UNARY_OP(RecpX, FPRecpX(a, fpscr))
OSTREL_FP_UNARY_OP(RecpE, FPRecipEstimate(a, fpscr))
OSTREL_FP_UNARY_OP(RSqrtE, FPRSqrtEstimate(a, fpscr))
// FRINTA, FRINTM, FRINTN, FRINTP, FRINTZ round in a mode of their own; FRINTI and FRINTX in the
// FPCR's, FRINTX alone reporting inexactness.
OSTREL_FP_UNARY_OP(RoundA, FPRoundInt(a, FPRounding_TIEAWAY, false, fpscr))
OSTREL_FP_UNARY_OP(RoundI, FPRoundInt(a, fp_rounding(fpscr), false, fpscr))
OSTREL_FP_UNARY_OP(RoundM, FPRoundInt(a, FPRounding_NEGINF, false, fpscr))
OSTREL_FP_UNARY_OP(RoundN, FPRoundInt(a, FPRounding_TIEEVEN, false, fpscr))
OSTREL_FP_UNARY_OP(RoundP, FPRoundInt(a, FPRounding_POSINF, false, fpscr))
OSTREL_FP_UNARY_OP(RoundX, FPRoundInt(a, fp_rounding(fpscr), true, fpscr))
OSTREL_FP_UNARY_OP(RoundZ, FPRoundInt(a, FPRounding_ZERO, false, fpscr))
#undef OSTREL_FP_UNARY_OP

// FABS and FNEG touch the sign bit only: no NaN processing, no flush, no flag, so no FPSCR.
template <typename T, typename Sign>
VecValue sign_only(const VecValue &zd, const PredV &pg, const VecValue &zn, const CpuContext *ctx,
                   Sign sign) {
    VecValue result = zd;
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        if (active<T>(pg, i)) result.set<T>(i, sign(zn.get<T>(i)));
    return result;
}

} // namespace

VecValue VecF16AbsVM(VecValue zd, PredV pg, VecValue zn, CpuContext *ctx) {
    return sign_only<uint16_t>(zd, pg, zn, ctx, FPAbs<uint16_t>);
}
VecValue VecF16NegVM(VecValue zd, PredV pg, VecValue zn, CpuContext *ctx) {
    return sign_only<uint16_t>(zd, pg, zn, ctx, FPNeg<uint16_t>);
}

// ---- Zd, Pg/M, Zn -------------------------------------------------------------------------------

#define OSTREL_FP_VM(Type, T, Family, Op)                                                          \
    VecValue Vec##Type##Family(VecValue zd, PredV pg, VecValue zn, CpuContext *ctx) {              \
        return merging_unary<T, Op>(zd, pg, zn, ctx);                                              \
    }
OSTREL_FP_HALF(OSTREL_FP_VM, SqrtVM, Sqrt)
OSTREL_FP_EVERY(OSTREL_FP_VM, RecpXVM, RecpX)
OSTREL_FP_HALF(OSTREL_FP_VM, FRIntAVM, RoundA)
OSTREL_FP_EVERY(OSTREL_FP_VM, FRIntIVM, RoundI)
OSTREL_FP_EVERY(OSTREL_FP_VM, FRIntMVM, RoundM)
OSTREL_FP_EVERY(OSTREL_FP_VM, FRIntNVM, RoundN)
OSTREL_FP_EVERY(OSTREL_FP_VM, FRIntPVM, RoundP)
OSTREL_FP_EVERY(OSTREL_FP_VM, FRIntXVM, RoundX)
OSTREL_FP_EVERY(OSTREL_FP_VM, FRIntZVM, RoundZ)

// ---- Zd, Zn -------------------------------------------------------------------------------------

#define OSTREL_FP_V(Type, T, Family, Op)                                                           \
    VecValue Vec##Type##Family(VecValue zn, CpuContext *ctx) {                                     \
        return unpredicated_unary<T, Op>(zn, ctx);                                                 \
    }
OSTREL_FP_HALF(OSTREL_FP_V, RecpEV, RecpE)
OSTREL_FP_EVERY(OSTREL_FP_V, RSqrtEV, RSqrtE)
