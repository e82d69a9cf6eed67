// Kernels of the floating-point reductions into a SIMD&FP scalar on the kernel road: the tree
// reductions FADDV, FMAXV, FMINV, FMAXNMV, FMINNMV and the ordered FADDA.
#include "sve/decode/host_fpsr.h"
#include "sve/exec/fp/host_float.h"
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;
namespace fp = ostrel::fp;

namespace {

// Op::apply combines two elements; Op::identity<T>() fills inactive places and the padding.
struct AddTree {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return FPAdd(a, b, fpscr); }
    template <typename T> static constexpr T identity() { return 0; }
};
struct MaxTree {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return FPMax(a, b, fpscr); }
    template <typename T> static constexpr T identity() {
        return Format<T>::kInfinity | Format<T>::kSign;
    }
};
struct MinTree {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return FPMin(a, b, fpscr); }
    template <typename T> static constexpr T identity() { return Format<T>::kInfinity; }
};
struct MaxNumTree {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return FPMaxNum(a, b, fpscr); }
    template <typename T> static constexpr T identity() { return Format<T>::kDefaultNaN; }
};
struct MinNumTree {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return FPMinNum(a, b, fpscr); }
    template <typename T> static constexpr T identity() { return Format<T>::kDefaultNaN; }
};

// The elements, padded with the identity to a power of two, are combined pairwise, level by level:
// the architecture's order, which decides both the rounding and the NaN chosen.
template <typename T, typename Op>
uint64_t tree_reduce(const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    T work[256 / sizeof(T)];
    const unsigned n = elements<T>(ctx);
    unsigned width = 1;
    while (width < n)
        width *= 2;
    for (unsigned i = 0; i < width; ++i)
        work[i] = i < n && active<T>(pg, i) ? zn.get<T>(i) : Op::template identity<T>();
    for (; width > 1; width /= 2)
        for (unsigned i = 0; i < width / 2; ++i)
            work[i] = with_fpscr(
                ctx, [&](FPSCR &fpscr) { return Op::apply(work[2 * i], work[2 * i + 1], fpscr); });
    return work[0];
}

// Zn's 16-byte block b with +0 in its inactive lanes: lane j is active when predicate bit
// (16 b + j x size) is set.
template <typename T> fp::Lanes<T> active_block(const PredV &pg, const VecValue &zn, unsigned b) {
    fp::Lanes<T> bit_of_lane;
    for (unsigned j = 0; j < fp::kLaneCount<T>; ++j)
        bit_of_lane[j] = T(1) << (j * sizeof(T));
    const T sixteen = static_cast<T>((pg.words[b / 4] >> (16 * (b % 4))) & 0xffff);
    const auto active =
        reinterpret_cast<fp::Lanes<T>>((fp::broadcast<T>(sixteen) & bit_of_lane) != 0);
    return fp::active_or_zero<T>(active, fp::load_lanes<T>(zn.bytes + 16 * b));
}

// FADDV on single and double elements by the host's pairwise vector add (FADDP), which sums
// adjacent lanes, the lower one first: level by level, the same tree with the same operands as
// tree_reduce, its padding +0 blocks. Its flags go through the host FPSR like the host route's.
template <typename T> uint64_t host_add_tree(const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    constexpr unsigned kBlockBytes = 16;
    fp::Lanes<T> work[sizeof zn.bytes / kBlockBytes];
    const unsigned bytes = (ctx->vl & ostrel::kVlMask) * 8;
    unsigned blocks = 1;
    while (blocks * kBlockBytes < bytes)
        blocks *= 2;
    for (unsigned b = 0; b < blocks; ++b)
        work[b] = b * kBlockBytes < bytes ? active_block<T>(pg, zn, b) : fp::Lanes<T>{};
    ostrel::write_host_fpsr(ctx->fpsr);
    {
        fp::HostFpu fpu(ctx->fpcr);
        for (; blocks > 1; blocks /= 2)
            for (unsigned b = 0; b < blocks / 2; ++b)
                work[b] = fpu.pairwise_add_lanes<T>(work[2 * b], work[2 * b + 1]);
        for (unsigned lanes = fp::kLaneCount<T>; lanes > 1; lanes /= 2)
            work[0] = fpu.pairwise_add_lanes<T>(work[0], work[0]);
    }
    ctx->fpsr = ostrel::read_host_fpsr() & kFpsrKeep;
    return work[0][0];
}

template <typename T, typename Op>
uint64_t reduce(const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    if constexpr (std::is_same_v<Op, AddTree> && sizeof(T) >= 4)
        return host_add_tree<T>(pg, zn, ctx);
    else
        return tree_reduce<T, Op>(pg, zn, ctx);
}

} // namespace

#define OSTREL_FP_REDUCE_FV(Type, T, Family, Op)                                                   \
    uint64_t Vec##Type##Family(PredV pg, VecValue zn, CpuContext *ctx) {                           \
        return reduce<T, Op>(pg, zn, ctx);                                                         \
    }
OSTREL_FP_EVERY(OSTREL_FP_REDUCE_FV, AddReduceFV, AddTree)
OSTREL_FP_EVERY(OSTREL_FP_REDUCE_FV, MaxReduceFV, MaxTree)
OSTREL_FP_EVERY(OSTREL_FP_REDUCE_FV, MinReduceFV, MinTree)
OSTREL_FP_HALF(OSTREL_FP_REDUCE_FV, MaxNumReduceFV, MaxNumTree)
OSTREL_FP_HALF(OSTREL_FP_REDUCE_FV, MinNumReduceFV, MinNumTree)

// FADDA: the scalar plus each active element in ascending order, rounding after every addition.
#define OSTREL_FP_REDUCE_AV(Type, T, Family, Unused)                                               \
    uint64_t Vec##Type##Family(PredV pg, uint64_t scalar, VecValue zm, CpuContext *ctx) {          \
        T acc = static_cast<T>(scalar);                                                            \
        for (unsigned i = 0, n = elements<T>(ctx); i < n; ++i)                                     \
            if (active<T>(pg, i))                                                                  \
                acc = with_fpscr(                                                                  \
                    ctx, [&](FPSCR &fpscr) { return FPAdd<T>(acc, zm.get<T>(i), fpscr); });        \
        return acc;                                                                                \
    }
OSTREL_FP_EVERY(OSTREL_FP_REDUCE_AV, AddReduceAV, )
