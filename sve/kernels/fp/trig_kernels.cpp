// Kernels of the Newton steps (FRECPS, FRSQRTS), the trigonometric helpers (FTMAD, FTSMUL,
// FTSSEL) and the exponential helper (FEXPA) on the kernel road; all unpredicated.
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

struct RecpStep {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) {
        return FPRecipStepFused(a, b, fpscr);
    }
};
struct RSqrtStep {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) {
        return FPRSqrtStepFused(a, b, fpscr);
    }
};
struct TrigSMul {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return FPTRISMUL(a, b, fpscr); }
};

// FTSSEL selects by bits and raises nothing: bit 0 of b picks 1.0 over a, bit 1 flips the sign.
template <typename T> T trig_select(T a, T b) {
    const T chosen = (b & 1) ? Format<T>::kOne : a;
    return (b & 2) ? FPNeg(chosen) : chosen;
}

// The same loops without an FPSCR, for the operations that raise nothing.
template <typename T, typename Op> VecValue each_element(const CpuContext *ctx, Op op) {
    VecValue result{};
    for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)
        result.set<T>(i, op(i));
    return result;
}

} // namespace

#define OSTREL_FP_VVX(Type, T, Family, Op)                                                         \
    VecValue Vec##Type##Family(VecValue zn, VecValue zm, CpuContext *ctx) {                        \
        return unpredicated_binary<T, Op>(zn, zm, ctx);                                            \
    }
OSTREL_FP_HALF(OSTREL_FP_VVX, RecpSVV, RecpStep)
OSTREL_FP_EVERY(OSTREL_FP_VVX, RSqrtSVV, RSqrtStep)
OSTREL_FP_EVERY(OSTREL_FP_VVX, TRISMULVV, TrigSMul)

#define OSTREL_FP_TRISSEL(Type, T, Family, Unused)                                                 \
    VecValue Vec##Type##Family(VecValue zn, VecValue zm, CpuContext *ctx) {                        \
        return each_element<T>(                                                                    \
            ctx, [&](unsigned i) { return trig_select(zn.get<T>(i), zm.get<T>(i)); });             \
    }
OSTREL_FP_EVERY(OSTREL_FP_TRISSEL, TRISSELVV, )

#define OSTREL_FP_EXPA(Type, T, Family, Unused)                                                    \
    VecValue Vec##Type##Family(VecValue zn, CpuContext *ctx) {                                     \
        return each_element<T>(ctx, [&](unsigned i) { return FPEXPA(zn.get<T>(i)); });             \
    }
OSTREL_FP_EVERY(OSTREL_FP_EXPA, EXPAV, )

// FTMAD Zdn, Zdn, Zm, #imm: the immediate picks the coefficient.
#define OSTREL_FP_TRIMADD(Type, T, Family, Unused)                                                 \
    VecValue Vec##Type##Family(VecValue zdn, VecValue zm, unsigned int imm, CpuContext *ctx) {     \
        return unpredicated<T>(ctx, [&](unsigned i, FPSCR &fpscr) {                                \
            return FPTRIMADD<T>(imm, zdn.get<T>(i), zm.get<T>(i), fpscr);                          \
        });                                                                                        \
    }
OSTREL_FP_EVERY(OSTREL_FP_TRIMADD, TRIMADDVVI, )
