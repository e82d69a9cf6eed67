// Kernels of the floating-point compares into a predicate on the kernel road (Pd, Pg/Z, Zn, Zm or
// Zn, #0.0): inactive elements get 0, NZCV is left alone. EQ, NE and UO compare quietly; the
// ordering relations signal on any NaN.
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

#define OSTREL_FP_RELATION(Name, Expression)                                                       \
    struct Name {                                                                                  \
        template <typename T> static bool apply(T a, T b, FPSCR &fpscr) { return Expression; }     \
    };
OSTREL_FP_RELATION(EQ, FPCompareEQ(a, b, fpscr))
OSTREL_FP_RELATION(NE, !FPCompareEQ(a, b, fpscr))
OSTREL_FP_RELATION(GE, FPCompareGE(a, b, fpscr))
OSTREL_FP_RELATION(GT, FPCompareGT(a, b, fpscr))
OSTREL_FP_RELATION(LE, FPCompareGE(b, a, fpscr))
OSTREL_FP_RELATION(LT, FPCompareGT(b, a, fpscr))
OSTREL_FP_RELATION(UN, FPCompareUN(a, b, fpscr))
OSTREL_FP_RELATION(AbsGE, FPCompareGE(FPAbs(a), FPAbs(b), fpscr))
OSTREL_FP_RELATION(AbsGT, FPCompareGT(FPAbs(a), FPAbs(b), fpscr))
#undef OSTREL_FP_RELATION

} // namespace

#define OSTREL_FP_VVZ(Type, T, Family, Relation)                                                   \
    PredV Vec##Type##Family(PredV pg, VecValue zn, VecValue zm, CpuContext *ctx) {                 \
        return compare<T>(pg, ctx, [&](unsigned i, FPSCR &fpscr) {                                 \
            return Relation::apply(zn.get<T>(i), zm.get<T>(i), fpscr);                             \
        });                                                                                        \
    }
OSTREL_FP_HALF(OSTREL_FP_VVZ, CmpEQVVZ, EQ)
OSTREL_FP_HALF(OSTREL_FP_VVZ, CmpNEVVZ, NE)
OSTREL_FP_HALF(OSTREL_FP_VVZ, CmpGEVVZ, GE)
OSTREL_FP_HALF(OSTREL_FP_VVZ, CmpGTVVZ, GT)
OSTREL_FP_HALF(OSTREL_FP_VVZ, CmpUNVVZ, UN)
OSTREL_FP_EVERY(OSTREL_FP_VVZ, AcGEVVZ, AbsGE)
OSTREL_FP_EVERY(OSTREL_FP_VVZ, AcGTVVZ, AbsGT)

// Against +0.0.
#define OSTREL_FP_V0Z(Type, T, Family, Relation)                                                   \
    PredV Vec##Type##Family(PredV pg, VecValue zn, CpuContext *ctx) {                              \
        return compare<T>(pg, ctx, [&](unsigned i, FPSCR &fpscr) {                                 \
            return Relation::apply(zn.get<T>(i), T{0}, fpscr);                                     \
        });                                                                                        \
    }
OSTREL_FP_HALF(OSTREL_FP_V0Z, CmpEQV0Z, EQ)
OSTREL_FP_EVERY(OSTREL_FP_V0Z, CmpNEV0Z, NE)
OSTREL_FP_HALF(OSTREL_FP_V0Z, CmpGEV0Z, GE)
OSTREL_FP_HALF(OSTREL_FP_V0Z, CmpGTV0Z, GT)
OSTREL_FP_HALF(OSTREL_FP_V0Z, CmpLEV0Z, LE)
OSTREL_FP_HALF(OSTREL_FP_V0Z, CmpLTV0Z, LT)
