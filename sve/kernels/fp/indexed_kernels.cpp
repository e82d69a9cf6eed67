// Kernels of the indexed floating-point forms on the kernel road: FMUL, FMLA and FMLS with an
// indexed element (unpredicated). Element i pairs with the second source's element `index` of
// i's own 128-bit segment.
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

template <typename T> unsigned indexed(unsigned i, unsigned index) {
    constexpr unsigned per_segment = 16 / sizeof(T);
    return i - i % per_segment + index;
}

// FMLA (NegateFactor false) and FMLS (true): Zda + (+-Zn) x Zm[index].
template <typename T, bool NegateFactor>
VecValue indexed_multiply_add(const VecValue &zda, const VecValue &zn, const VecValue &zm,
                              unsigned index, CpuContext *ctx) {
    return unpredicated<T>(ctx, [&](unsigned i, FPSCR &fpscr) {
        const T factor = zn.get<T>(i);
        return FPMulAdd<T>(zda.get<T>(i), NegateFactor ? FPNeg(factor) : factor,
                           zm.get<T>(indexed<T>(i, index)), fpscr);
    });
}

} // namespace

#define OSTREL_FP_MUL_VVIX(Type, T, Family, Unused)                                                \
    VecValue Vec##Type##Family(VecValue zn, VecValue zm, unsigned int index, CpuContext *ctx) {    \
        return unpredicated<T>(ctx, [&](unsigned i, FPSCR &fpscr) {                                \
            return FPMul<T>(zn.get<T>(i), zm.get<T>(indexed<T>(i, index)), fpscr);                 \
        });                                                                                        \
    }
OSTREL_FP_EVERY(OSTREL_FP_MUL_VVIX, MulVVIX, )

#define OSTREL_FP_VVVIX(Type, T, Family, NegateFactor)                                             \
    VecValue Vec##Type##Family(VecValue zda, VecValue zn, VecValue zm, unsigned int index,         \
                               CpuContext *ctx) {                                                  \
        return indexed_multiply_add<T, NegateFactor>(zda, zn, zm, index, ctx);                     \
    }
OSTREL_FP_EVERY(OSTREL_FP_VVVIX, FMAVVVIX, false)
OSTREL_FP_EVERY(OSTREL_FP_VVVIX, FMSVVVIX, true)
