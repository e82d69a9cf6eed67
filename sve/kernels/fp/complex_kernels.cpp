// Kernels of the complex floating-point forms on the kernel road: FCADD and FCMLA (vectors,
// predicated) and FCMLA (indexed). A complex number is a pair of adjacent elements, the real
// part at the even index; each part is governed by its own predicate bit.
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

// FCADD: rotation bit 0 adds i x Zm (90 degrees), 1 subtracts it (270 degrees).
template <typename T>
VecValue complex_add(const VecValue &zdn, const PredV &pg, const VecValue &zm, unsigned rot,
                     CpuContext *ctx) {
    return merging<T>(zdn, pg, ctx, [&](unsigned i, FPSCR &fpscr) {
        const bool imaginary = i & 1;
        T other = zm.get<T>(i ^ 1);
        // Real parts add the negated imaginary part at 90 degrees; imaginary parts add the
        // negated real part at 270.
        if (imaginary == (rot != 0)) other = FPNeg(other);
        return FPAdd<T>(zdn.get<T>(i), other, fpscr);
    });
}

// One part of FCMLA with rotation rot x 90 degrees: Zda's element i plus Zn's element of the
// pair that the rotation picks times Zm's element `m_pair` + (part chosen by the rotation),
// negated as the rotation says.
template <typename T>
T complex_part(T addend, const VecValue &zn, const VecValue &zm, unsigned i, unsigned m_pair,
               unsigned rot, FPSCR &fpscr) {
    const unsigned sel = rot & 1, pair = i & ~1u;
    const bool imaginary = i & 1;
    const T factor = zn.get<T>(pair + sel);
    T other = zm.get<T>(m_pair + (imaginary ? 1 - sel : sel));
    const bool negate = imaginary ? rot >= 2 : (rot == 1 || rot == 2);
    if (negate) other = FPNeg(other);
    return FPMulAdd<T>(addend, factor, other, fpscr);
}

} // namespace

#define OSTREL_FP_FCADD(Type, T, Family, Unused)                                                   \
    VecValue Vec##Type##Family(VecValue zdn, PredV pg, VecValue zm, unsigned int rot,              \
                               CpuContext *ctx) {                                                  \
        return complex_add<T>(zdn, pg, zm, rot, ctx);                                              \
    }
OSTREL_FP_EVERY(OSTREL_FP_FCADD, FCADDVVM, )

#define OSTREL_FP_FCMLA(Type, T, Family, Unused)                                                   \
    VecValue Vec##Type##Family(VecValue zda, PredV pg, VecValue zn, VecValue zm, unsigned int rot, \
                               CpuContext *ctx) {                                                  \
        return merging<T>(zda, pg, ctx, [&](unsigned i, FPSCR &fpscr) {                            \
            return complex_part<T>(zda.get<T>(i), zn, zm, i, i & ~1u, rot, fpscr);                 \
        });                                                                                        \
    }
OSTREL_FP_HALF(OSTREL_FP_FCMLA, FCMLAVVVM, )

// Indexed: the Zm pair is pair `index` of the element's own 128-bit segment.
#define OSTREL_FP_FCMLA_INDEXED(Type, T, Family, Unused)                                           \
    VecValue Vec##Type##Family(VecValue zda, VecValue zn, VecValue zm, unsigned int index,         \
                               unsigned int rot, CpuContext *ctx) {                                \
        constexpr unsigned per_segment = 16 / sizeof(T);                                           \
        return unpredicated<T>(ctx, [&](unsigned i, FPSCR &fpscr) {                                \
            const unsigned m_pair = i - i % per_segment + 2 * index;                               \
            return complex_part<T>(zda.get<T>(i), zn, zm, i, m_pair, rot, fpscr);                  \
        });                                                                                        \
    }
OSTREL_FP_HALF_SINGLE(OSTREL_FP_FCMLA_INDEXED, FCMLAVVVIX, )
