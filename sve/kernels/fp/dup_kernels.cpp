// Kernels of FCPY (Zd, Pg/M, #imm) on the kernel road: the immediate, already expanded to the
// element's format, goes into every active element. It raises nothing, so no FPSCR is made.
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;

#define OSTREL_FP_DUP_IM(Type, T, Family, Unused)                                                  \
    VecValue Vec##Type##Family(VecValue zd, PredV pg, uint64_t pattern, CpuContext *ctx) {         \
        VecValue result = zd;                                                                      \
        for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)                                     \
            if (active<T>(pg, i)) result.set<T>(i, static_cast<T>(pattern));                       \
        return result;                                                                             \
    }
OSTREL_FP_EVERY(OSTREL_FP_DUP_IM, DupIM, )
