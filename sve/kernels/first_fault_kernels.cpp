// First-fault load kernels: the contiguous LDFF1H/LDFF1SB/LDFF1SH/LDFF1SW forms and every LDFF1*
// gather. Each active element is read with a guarded read, the first one included, so no fault
// ends the process: from the first element whose read faults on, every element is zero and owns
// no FFR bits any more. Kernels never trace.
#include "sve/exec/memory/gather_address.h"
#include "sve/kernels/guest_memory.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

using ostrel::memory::AdrOffset;

// The M-byte value extended to the register element E, signed or not.
template <typename E, bool Signed, unsigned M> E extend(uint64_t value) {
    if constexpr (Signed && M < 8) {
        const unsigned unused = 64 - 8 * M;
        return static_cast<E>(static_cast<int64_t>(value << unused) >> unused);
    }
    return static_cast<E>(value);
}

// E is the register element, M the memory element size; address(i) gives element i's address.
template <typename E, bool Signed, unsigned M, typename Address>
VecValue load_first_fault(const PredV &pg, CpuContext *ctx, Address &&address) {
    const unsigned elements = (ctx->vl & ostrel::kVlMask) * 8 / sizeof(E);
    VecValue result{};
    bool fault = false;
    for (unsigned i = 0; i < elements; ++i) {
        if (pg.bit(i * sizeof(E)) && !fault) {
            const uint64_t value = ReadMemLibOfWidth<M>(address(i), &fault, ctx);
            if (!fault) {
                result.set<E>(i, extend<E, Signed, M>(value));
                continue;
            }
        }
        if (fault)
            for (unsigned b = 0; b < sizeof(E); ++b)
                ctx->ffr.set_bit(i * sizeof(E) + b, false);
    }
    return result;
}

// Contiguous, scalar plus scalar: the index counts memory elements.
template <typename E, bool Signed, unsigned M>
VecValue contiguous(const PredV &pg, uint64_t base, uint64_t index, CpuContext *ctx) {
    const uint64_t start = base + index * M;
    return load_first_fault<E, Signed, M>(pg, ctx,
                                          [&](unsigned i) { return start + uint64_t{i} * M; });
}

// Vector plus immediate: the immediate counts memory elements.
template <typename E, bool Signed, unsigned M>
VecValue vector_base(const PredV &pg, const VecValue &zn, unsigned imm, CpuContext *ctx) {
    return load_first_fault<E, Signed, M>(pg, ctx, [&](unsigned i) {
        return ostrel::memory::vector_base_address(zn.get<E>(i), imm, M);
    });
}

template <typename E, bool Signed, unsigned M, AdrOffset Kind, bool Scaled>
VecValue offsets(const PredV &pg, uint64_t base, const VecValue &zm, CpuContext *ctx) {
    constexpr unsigned shift = Scaled ? ostrel::memory::log2_of_size(M) : 0;
    return load_first_fault<E, Signed, M>(pg, ctx, [&](unsigned i) {
        return ostrel::memory::vector_offset_address<Kind>(base, zm.get<E>(i), shift);
    });
}

} // namespace

// Vec<type>CLoadFF<m>LSSZ
#define OSTREL_CONTIGUOUS_FF(type, E, Signed, m)                                                   \
    VecValue Vec##type##CLoadFF##m##LSSZ(PredV pg, uint64_t base, uint64_t index,                  \
                                         CpuContext *ctx) {                                        \
        return contiguous<E, Signed, m>(pg, base, index, ctx);                                     \
    }

OSTREL_CONTIGUOUS_FF(U16, uint16_t, false, 2)
OSTREL_CONTIGUOUS_FF(U32, uint32_t, false, 2)
OSTREL_CONTIGUOUS_FF(U64, uint64_t, false, 2)
OSTREL_CONTIGUOUS_FF(S16, uint16_t, true, 1)
OSTREL_CONTIGUOUS_FF(S32, uint32_t, true, 1)
OSTREL_CONTIGUOUS_FF(S32, uint32_t, true, 2)
OSTREL_CONTIGUOUS_FF(S64, uint64_t, true, 1)
OSTREL_CONTIGUOUS_FF(S64, uint64_t, true, 2)
OSTREL_CONTIGUOUS_FF(S64, uint64_t, true, 4)

// Gathers: Vec<type>LoadFF<m><shape>. VSZ/SVZ take the whole offset element (on words that is
// the zero-extended 32 bits), X the sign-extended and Y the zero-extended low 32 bits; the
// shapes with S before V scale the offsets by m.
#define OSTREL_GATHER_FF_VI(type, E, Signed, m)                                                    \
    VecValue Vec##type##LoadFF##m##VIZ(PredV pg, VecValue zn, unsigned int imm, CpuContext *ctx) { \
        return vector_base<E, Signed, m>(pg, zn, imm, ctx);                                        \
    }
#define OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, shape, kind, scaled)                          \
    OSTREL_GATHER_FF_OFFSETS_##scaled(type, E, Signed, m, shape, kind)
#define OSTREL_GATHER_FF_OFFSETS_unscaled(type, E, Signed, m, shape, kind)                         \
    VecValue Vec##type##LoadFF##m##shape(PredV pg, VecValue zm, uint64_t base, CpuContext *ctx) {  \
        return offsets<E, Signed, m, AdrOffset::kind, false>(pg, base, zm, ctx);                   \
    }
#define OSTREL_GATHER_FF_OFFSETS_scaled(type, E, Signed, m, shape, kind)                           \
    VecValue Vec##type##LoadFF##m##shape(PredV pg, uint64_t base, VecValue zm, CpuContext *ctx) {  \
        return offsets<E, Signed, m, AdrOffset::kind, true>(pg, base, zm, ctx);                    \
    }

// Word elements: VIZ, VSZ, XVSZ for every size, and SVZ, XSVZ for halfwords and words.
#define OSTREL_GATHER_FF_S(type, E, Signed, m)                                                     \
    OSTREL_GATHER_FF_VI(type, E, Signed, m)                                                        \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, VSZ, whole, unscaled)                             \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, XVSZ, sxtw, unscaled)
#define OSTREL_GATHER_FF_S_SCALED(type, E, Signed, m)                                              \
    OSTREL_GATHER_FF_S(type, E, Signed, m)                                                         \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, SVZ, whole, scaled)                               \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, XSVZ, sxtw, scaled)

OSTREL_GATHER_FF_S(U32, uint32_t, false, 1)
OSTREL_GATHER_FF_S(S32, uint32_t, true, 1)
OSTREL_GATHER_FF_S_SCALED(U32, uint32_t, false, 2)
OSTREL_GATHER_FF_S_SCALED(S32, uint32_t, true, 2)
OSTREL_GATHER_FF_S_SCALED(U32, uint32_t, false, 4)

// Doubleword elements: VIZ, VSZ, XVSZ, YVSZ for every size, and SVZ, XSVZ, YSVZ from halfwords.
#define OSTREL_GATHER_FF_D(type, E, Signed, m)                                                     \
    OSTREL_GATHER_FF_VI(type, E, Signed, m)                                                        \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, VSZ, whole, unscaled)                             \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, XVSZ, sxtw, unscaled)                             \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, YVSZ, uxtw, unscaled)
#define OSTREL_GATHER_FF_D_SCALED(type, E, Signed, m)                                              \
    OSTREL_GATHER_FF_D(type, E, Signed, m)                                                         \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, SVZ, whole, scaled)                               \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, XSVZ, sxtw, scaled)                               \
    OSTREL_GATHER_FF_OFFSETS(type, E, Signed, m, YSVZ, uxtw, scaled)

OSTREL_GATHER_FF_D(U64, uint64_t, false, 1)
OSTREL_GATHER_FF_D(S64, uint64_t, true, 1)
OSTREL_GATHER_FF_D_SCALED(U64, uint64_t, false, 2)
OSTREL_GATHER_FF_D_SCALED(S64, uint64_t, true, 2)
OSTREL_GATHER_FF_D_SCALED(U64, uint64_t, false, 4)
OSTREL_GATHER_FF_D_SCALED(S64, uint64_t, true, 4)
OSTREL_GATHER_FF_D_SCALED(U64, uint64_t, false, 8)
