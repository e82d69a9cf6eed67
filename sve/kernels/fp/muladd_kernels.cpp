// Kernels of the half-precision fused multiply-adds on the kernel road: FMLA, FMLS, FNMLA, FNMLS
// (Zda, Pg/M, Zn, Zm) and FMAD, FMSB, FNMAD, FNMSB (Zdn, Pg/M, Zm, Za). Each element is rounded
// once; a negated operand has its sign flipped before the multiply-add, NaN or not.
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

// addend + factor x other, with the product's first factor and the addend negated as asked.
template <typename T, bool NegateFactor, bool NegateAddend>
T multiply_add(T addend, T factor, T other, FPSCR &fpscr) {
    return FPMulAdd<T>(NegateAddend ? FPNeg(addend) : addend, NegateFactor ? FPNeg(factor) : factor,
                       other, fpscr);
}

// FMLA family: the destination is the addend, Zn x Zm the product.
template <typename T, bool NegateFactor, bool NegateAddend>
VecValue accumulate(const VecValue &zda, const PredV &pg, const VecValue &zn, const VecValue &zm,
                    CpuContext *ctx) {
    return merging<T>(zda, pg, ctx, [&](unsigned i, FPSCR &fpscr) {
        return multiply_add<T, NegateFactor, NegateAddend>(zda.get<T>(i), zn.get<T>(i),
                                                           zm.get<T>(i), fpscr);
    });
}

// FMAD family: the destination is the first factor, Za the addend.
template <typename T, bool NegateFactor, bool NegateAddend>
VecValue multiply(const VecValue &zdn, const PredV &pg, const VecValue &zm, const VecValue &za,
                  CpuContext *ctx) {
    return merging<T>(zdn, pg, ctx, [&](unsigned i, FPSCR &fpscr) {
        return multiply_add<T, NegateFactor, NegateAddend>(za.get<T>(i), zdn.get<T>(i),
                                                           zm.get<T>(i), fpscr);
    });
}

} // namespace

// Shape is accumulate or multiply; the two flags negate the first factor and the addend.
#define OSTREL_FP_HALF_VVVM(Family, Shape, NegateFactor, NegateAddend)                             \
    VecValue VecF16##Family(VecValue zd, PredV pg, VecValue a, VecValue b, CpuContext *ctx) {      \
        return Shape<uint16_t, NegateFactor, NegateAddend>(zd, pg, a, b, ctx);                     \
    }
OSTREL_FP_HALF_VVVM(FMAVVVM, accumulate, false, false)
OSTREL_FP_HALF_VVVM(FMSVVVM, accumulate, true, false)
OSTREL_FP_HALF_VVVM(FNMAVVVM, accumulate, true, true)
OSTREL_FP_HALF_VVVM(FNMSVVVM, accumulate, false, true)
OSTREL_FP_HALF_VVVM(FMADDVVVM, multiply, false, false)
OSTREL_FP_HALF_VVVM(FMSUBVVVM, multiply, true, false)
OSTREL_FP_HALF_VVVM(FNMADDVVVM, multiply, true, true)
OSTREL_FP_HALF_VVVM(FNMSUBVVVM, multiply, false, true)
