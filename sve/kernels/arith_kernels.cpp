// Kernels of the integer arithmetic forms that run on the kernel road: reversed subtract,
// absolute difference, high half of a product, minimum and maximum with an immediate, saturating
// add and subtract, dot products, and the compares with an immediate or with a wide second
// source. Type S reads the elements signed, U unsigned.
#include "sve/exec/integer/compare_elements.h"
#include "sve/kernels/arith_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::integer;
using namespace ostrel::arith_kernels;

// One kernel per element type: Kernel(Vec<Type><Family>, Signed, element type, Extra).
#define OSTREL_FOR_U_TYPES(Kernel, Family, Extra)                                                  \
    Kernel(VecU8##Family, false, uint8_t, Extra) Kernel(VecU16##Family, false, uint16_t, Extra)    \
        Kernel(VecU32##Family, false, uint32_t, Extra)                                             \
            Kernel(VecU64##Family, false, uint64_t, Extra)
#define OSTREL_FOR_SU_TYPES(Kernel, Family, Extra)                                                 \
    Kernel(VecS8##Family, true, uint8_t, Extra) Kernel(VecS16##Family, true, uint16_t, Extra)      \
        Kernel(VecS32##Family, true, uint32_t, Extra)                                              \
            Kernel(VecS64##Family, true, uint64_t, Extra)                                          \
                OSTREL_FOR_U_TYPES(Kernel, Family, Extra)
// The element types of the wide compares: up to 32 bits, the second source having 64.
#define OSTREL_FOR_NARROW_S_TYPES(Kernel, Family, Extra)                                           \
    Kernel(VecS8##Family, true, uint8_t, Extra) Kernel(VecS16##Family, true, uint16_t, Extra)      \
        Kernel(VecS32##Family, true, uint32_t, Extra)
#define OSTREL_FOR_NARROW_SU_TYPES(Kernel, Family, Extra)                                          \
    OSTREL_FOR_NARROW_S_TYPES(Kernel, Family, Extra)                                               \
    Kernel(VecU8##Family, false, uint8_t, Extra) Kernel(VecU16##Family, false, uint16_t, Extra)    \
        Kernel(VecU32##Family, false, uint32_t, Extra)

// ---- predicated, merging: Zdn, Pg/M, Zdn, Zm ----------------------------------------------------

// Op is a template over the signedness.
#define OSTREL_MERGING(Name, Signed, T, Op)                                                        \
    VecValue Name(VecValue zdn, PredV pg, VecValue zm, CpuContext *ctx) {                          \
        return merging<Op<Signed>, T>(zdn, pg, zm, ctx);                                           \
    }
OSTREL_FOR_SU_TYPES(OSTREL_MERGING, AbdVVM, AbdElement)
OSTREL_FOR_SU_TYPES(OSTREL_MERGING, MulHVVM, MulHighElement)

// Zm - Zdn.
#define OSTREL_SUBR_VVM(Name, Signed, T, Unused)                                                   \
    VecValue Name(VecValue zdn, PredV pg, VecValue zm, CpuContext *ctx) {                          \
        return merging<SubRElement, T>(zdn, pg, zm, ctx);                                          \
    }
OSTREL_FOR_U_TYPES(OSTREL_SUBR_VVM, SubRVVM, )

// ---- unpredicated, with an immediate: Zdn, Zdn, #imm --------------------------------------------

// imm - element, the element taking the immediate's low esize bits.
#define OSTREL_SUBR_VIX(Name, Signed, T, Unused)                                                   \
    VecValue Name(VecValue zdn, unsigned int imm, CpuContext *ctx) {                               \
        return with_immediate<SubRElement, T>(zdn, static_cast<T>(imm), ctx);                      \
    }
OSTREL_FOR_U_TYPES(OSTREL_SUBR_VIX, SubRVIX, )

// The 8-bit immediate is signed for S types and unsigned for U types: cut to the element's width
// it reads back as the same number.
#define OSTREL_MIN_MAX_VIX(Name, Signed, T, Op)                                                    \
    VecValue Name(VecValue zdn, int imm, CpuContext *ctx) {                                        \
        return with_immediate<Op<Signed>, T>(zdn, static_cast<T>(imm), ctx);                       \
    }
OSTREL_FOR_SU_TYPES(OSTREL_MIN_MAX_VIX, MaxVIX, MaxElement)
OSTREL_FOR_SU_TYPES(OSTREL_MIN_MAX_VIX, MinVIX, MinElement)

// The unsigned immediate joins the element's number whole, not cut to the element.
#define OSTREL_SATURATING_VIX(Name, Signed, T, Op)                                                 \
    VecValue Name(VecValue zdn, unsigned int imm, CpuContext *ctx) {                               \
        return with_immediate<Op<Signed>, T>(zdn, imm, ctx);                                       \
    }
OSTREL_FOR_SU_TYPES(OSTREL_SATURATING_VIX, QAddVIX, QAddImmElement)
OSTREL_FOR_SU_TYPES(OSTREL_SATURATING_VIX, QSubVIX, QSubImmElement)

// ---- unpredicated vectors: Zd, Zn, Zm -----------------------------------------------------------

#define OSTREL_UNPREDICATED(Name, Signed, T, Op)                                                   \
    VecValue Name(VecValue zn, VecValue zm, CpuContext *ctx) {                                     \
        return unpredicated<Op<Signed>, T>(zn, zm, ctx);                                           \
    }
OSTREL_FOR_SU_TYPES(OSTREL_UNPREDICATED, QAddVVX, QAddElement)
OSTREL_FOR_SU_TYPES(OSTREL_UNPREDICATED, QSubVVX, QSubElement)

// ---- dot products: Zda += Zn . Zm ---------------------------------------------------------------

namespace {

template <bool Signed, typename Acc>
VecValue dot_vectors(const VecValue &zn, const VecValue &zm, const VecValue &zda,
                     const CpuContext *ctx) {
    return dot<Signed, Acc>(
        zn, zm, zda, [](unsigned i) { return 4 * i; }, ctx);
}

// The Zm group comes from the 128-bit segment holding accumulator element i, at the group index
// within that segment (four groups of bytes, or two of halfwords); each segment uses its own.
template <bool Signed, typename Acc>
VecValue dot_indexed(const VecValue &zn, const VecValue &zm, const VecValue &zda, unsigned index,
                     const CpuContext *ctx) {
    constexpr unsigned kLanesPerSegment = 16 / sizeof(Acc);
    return dot<Signed, Acc>(
        zn, zm, zda,
        [index](unsigned i) { return 4 * (i / kLanesPerSegment * kLanesPerSegment + index); }, ctx);
}

} // namespace

VecValue VecS32DotVVVX(VecValue zn, VecValue zm, VecValue zda, CpuContext *ctx) {
    return dot_vectors<true, uint32_t>(zn, zm, zda, ctx);
}
VecValue VecS64DotVVVX(VecValue zn, VecValue zm, VecValue zda, CpuContext *ctx) {
    return dot_vectors<true, uint64_t>(zn, zm, zda, ctx);
}
VecValue VecU32DotVVVX(VecValue zn, VecValue zm, VecValue zda, CpuContext *ctx) {
    return dot_vectors<false, uint32_t>(zn, zm, zda, ctx);
}
VecValue VecU64DotVVVX(VecValue zn, VecValue zm, VecValue zda, CpuContext *ctx) {
    return dot_vectors<false, uint64_t>(zn, zm, zda, ctx);
}

VecValue VecS32DotVVVIX(VecValue zn, VecValue zm, VecValue zda, unsigned int index,
                        CpuContext *ctx) {
    return dot_indexed<true, uint32_t>(zn, zm, zda, index, ctx);
}
VecValue VecS64DotVVVIX(VecValue zn, VecValue zm, VecValue zda, unsigned int index,
                        CpuContext *ctx) {
    return dot_indexed<true, uint64_t>(zn, zm, zda, index, ctx);
}
VecValue VecU32DotVVVIX(VecValue zn, VecValue zm, VecValue zda, unsigned int index,
                        CpuContext *ctx) {
    return dot_indexed<false, uint32_t>(zn, zm, zda, index, ctx);
}
VecValue VecU64DotVVVIX(VecValue zn, VecValue zm, VecValue zda, unsigned int index,
                        CpuContext *ctx) {
    return dot_indexed<false, uint64_t>(zn, zm, zda, index, ctx);
}

// ---- compares: Pd, Pg/Z, Zn, #imm or Zm.D -------------------------------------------------------

namespace {

// imm is at the row's signedness (a signed imm5 for S rows, an unsigned imm7 for U rows), so
// its sign extension to 64 bits is the number either way.
template <Relation R, bool Signed, typename T>
PredV compare_immediate(const PredV &pg, const VecValue &zn, int imm, CpuContext *ctx) {
    const auto wide_imm = static_cast<uint64_t>(static_cast<int64_t>(imm));
    return compare<T>(
        pg, [&](unsigned i) { return compare_wide<R, Signed>(zn.get<T>(i), wide_imm); }, ctx);
}

// Element i against the 64-bit element of Zm in the same 64-bit segment.
template <Relation R, bool Signed, typename T>
PredV compare_with_wide(const PredV &pg, const VecValue &zn, const VecValue &zm, CpuContext *ctx) {
    return compare<T>(
        pg,
        [&](unsigned i) {
            return compare_wide<R, Signed>(zn.get<T>(i), zm.get<uint64_t>(i * sizeof(T) / 8));
        },
        ctx);
}

} // namespace

#define OSTREL_CMP_VIZ(Name, Signed, T, Rel)                                                       \
    PredV Name(PredV pg, VecValue zn, int imm, CpuContext *ctx) {                                  \
        return compare_immediate<Relation::Rel, Signed, T>(pg, zn, imm, ctx);                      \
    }
OSTREL_FOR_SU_TYPES(OSTREL_CMP_VIZ, CmpFlgGEVIZ, ge)
OSTREL_FOR_U_TYPES(OSTREL_CMP_VIZ, CmpFlgLEVIZ, le)

#define OSTREL_CMP_VWZ(Name, Signed, T, Rel)                                                       \
    PredV Name(PredV pg, VecValue zn, VecValue zm, CpuContext *ctx) {                              \
        return compare_with_wide<Relation::Rel, Signed, T>(pg, zn, zm, ctx);                       \
    }
OSTREL_FOR_NARROW_S_TYPES(OSTREL_CMP_VWZ, CmpFlgEQVWZ, eq)
OSTREL_FOR_NARROW_S_TYPES(OSTREL_CMP_VWZ, CmpFlgNEVWZ, ne)
OSTREL_FOR_NARROW_SU_TYPES(OSTREL_CMP_VWZ, CmpFlgGTVWZ, gt)
OSTREL_FOR_NARROW_SU_TYPES(OSTREL_CMP_VWZ, CmpFlgGEVWZ, ge)
OSTREL_FOR_NARROW_SU_TYPES(OSTREL_CMP_VWZ, CmpFlgLTVWZ, lt)
OSTREL_FOR_NARROW_SU_TYPES(OSTREL_CMP_VWZ, CmpFlgLEVWZ, le)
