// Kernels of the permute and element-selection instructions the kernel road reaches: INSR,
// LASTA, CLASTA and CLASTB (to a scalar or a vector), SPLICE, COMPACT and the signed unpacks of
// bytes and halfwords. The element movements are those of the fixed-length executors.
#include "sve/exec/integer/permute_elements.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

namespace permute = ostrel::permute;

template <typename T> unsigned element_count(const CpuContext *ctx) {
    return (ctx->vl & ostrel::kVlMask) * 8 / sizeof(T);
}

// Element i of a predicate value of sizeof(T)-byte elements.
template <typename T> auto active_in(const PredV &p) {
    return [&p](unsigned i) { return p.bit(i * sizeof(T)); };
}

template <typename T> int last_active(const PredV &pg, const CpuContext *ctx) {
    return permute::last_active(element_count<T>(ctx), active_in<T>(pg));
}

// A fresh result value; bytes beyond VL x 8 carry no meaning, zeros keep them predictable.
inline VecValue zero_value() {
    VecValue v;
    std::memset(v.bytes, 0, sizeof v.bytes);
    return v;
}

template <typename T> VecValue insert(const VecValue &zdn, uint64_t scalar, CpuContext *ctx) {
    VecValue r = zero_value();
    permute::insert<T>(r.bytes, zdn.bytes, element_count<T>(ctx), static_cast<T>(scalar));
    return r;
}

template <typename T> uint64_t last_after(const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    const unsigned n = element_count<T>(ctx);
    if (n == 0) return 0;
    return zn.get<T>(permute::after_last(last_active<T>(pg, ctx), n));
}

// CLASTA (after = true) and CLASTB to a scalar: with no active element the scalar keeps its low
// esize bits.
template <typename T, bool After>
uint64_t conditional_extract(const PredV &pg, uint64_t rdn, const VecValue &zm, CpuContext *ctx) {
    const unsigned n = element_count<T>(ctx);
    const int last = last_active<T>(pg, ctx);
    if (last < 0) return static_cast<T>(rdn);
    return zm.get<T>(After ? permute::after_last(last, n) : static_cast<unsigned>(last));
}

// CLASTA and CLASTB to a vector: the selected element of Zm in every element; Zdn unchanged when
// no element is active.
template <typename T, bool After>
VecValue conditional_broadcast(const PredV &pg, const VecValue &zdn, const VecValue &zm,
                               CpuContext *ctx) {
    const unsigned n = element_count<T>(ctx);
    const int last = last_active<T>(pg, ctx);
    if (last < 0) return zdn;
    VecValue r = zero_value();
    const unsigned at = After ? permute::after_last(last, n) : static_cast<unsigned>(last);
    permute::broadcast<T>(r.bytes, n, zm.get<T>(at));
    return r;
}

template <typename T>
VecValue splice(const PredV &pg, const VecValue &zdn, const VecValue &zm, CpuContext *ctx) {
    VecValue r = zero_value();
    permute::splice<T>(r.bytes, zdn.bytes, zm.bytes, element_count<T>(ctx), active_in<T>(pg));
    return r;
}

template <typename T> VecValue compress(const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    VecValue r = zero_value();
    permute::compact<T>(r.bytes, zn.bytes, element_count<T>(ctx), active_in<T>(pg));
    return r;
}

template <typename Wide, typename Narrow>
VecValue unpack(const VecValue &zn, bool high, CpuContext *ctx) {
    VecValue r = zero_value();
    permute::unpack<Wide, Narrow>(r.bytes, zn.bytes, element_count<Wide>(ctx), high);
    return r;
}

} // namespace

// The scalar-transfer kernels of one element type, for the general-register view (U) and the
// SIMD&FP view (B8, H16, F32, D64) alike: the element bits are moved, never interpreted.
#define OSTREL_SCALAR_TRANSFER_KERNELS(Type, T)                                                    \
    VecValue Vec##Type##InsertS(VecValue zdn, uint64_t scalar, CpuContext *ctx) {                  \
        return insert<T>(zdn, scalar, ctx);                                                        \
    }                                                                                              \
    uint64_t Vec##Type##LastAV(PredV pg, VecValue zn, CpuContext *ctx) {                           \
        return last_after<T>(pg, zn, ctx);                                                         \
    }                                                                                              \
    uint64_t Vec##Type##CondXASV(PredV pg, uint64_t rdn, VecValue zm, CpuContext *ctx) {           \
        return conditional_extract<T, true>(pg, rdn, zm, ctx);                                     \
    }

OSTREL_SCALAR_TRANSFER_KERNELS(U8, uint8_t)
OSTREL_SCALAR_TRANSFER_KERNELS(U16, uint16_t)
OSTREL_SCALAR_TRANSFER_KERNELS(U32, uint32_t)
OSTREL_SCALAR_TRANSFER_KERNELS(U64, uint64_t)
OSTREL_SCALAR_TRANSFER_KERNELS(B8, uint8_t)
OSTREL_SCALAR_TRANSFER_KERNELS(H16, uint16_t)
OSTREL_SCALAR_TRANSFER_KERNELS(F32, uint32_t)
OSTREL_SCALAR_TRANSFER_KERNELS(D64, uint64_t)
#undef OSTREL_SCALAR_TRANSFER_KERNELS

#define OSTREL_CLASTB_SCALAR_KERNEL(Type, T)                                                       \
    uint64_t Vec##Type##CondXBSV(PredV pg, uint64_t vdn, VecValue zm, CpuContext *ctx) {           \
        return conditional_extract<T, false>(pg, vdn, zm, ctx);                                    \
    }
OSTREL_CLASTB_SCALAR_KERNEL(B8, uint8_t)
OSTREL_CLASTB_SCALAR_KERNEL(H16, uint16_t)
OSTREL_CLASTB_SCALAR_KERNEL(F32, uint32_t)
OSTREL_CLASTB_SCALAR_KERNEL(D64, uint64_t)
#undef OSTREL_CLASTB_SCALAR_KERNEL

#define OSTREL_VECTOR_SELECT_KERNELS(Type, T)                                                      \
    VecValue Vec##Type##VCondXAVV(PredV pg, VecValue zdn, VecValue zm, CpuContext *ctx) {          \
        return conditional_broadcast<T, true>(pg, zdn, zm, ctx);                                   \
    }                                                                                              \
    VecValue Vec##Type##VCondXBVV(PredV pg, VecValue zdn, VecValue zm, CpuContext *ctx) {          \
        return conditional_broadcast<T, false>(pg, zdn, zm, ctx);                                  \
    }                                                                                              \
    VecValue Vec##Type##SpliceVV(PredV pg, VecValue zdn, VecValue zm, CpuContext *ctx) {           \
        return splice<T>(pg, zdn, zm, ctx);                                                        \
    }
OSTREL_VECTOR_SELECT_KERNELS(U8, uint8_t)
OSTREL_VECTOR_SELECT_KERNELS(U16, uint16_t)
OSTREL_VECTOR_SELECT_KERNELS(U32, uint32_t)
OSTREL_VECTOR_SELECT_KERNELS(U64, uint64_t)
#undef OSTREL_VECTOR_SELECT_KERNELS

VecValue VecU32CompressVV(PredV pg, VecValue zn, CpuContext *ctx) {
    return compress<uint32_t>(pg, zn, ctx);
}
VecValue VecU64CompressVV(PredV pg, VecValue zn, CpuContext *ctx) {
    return compress<uint64_t>(pg, zn, ctx);
}

VecValue VecS16UnpackLoV(VecValue zn, CpuContext *ctx) {
    return unpack<int16_t, int8_t>(zn, false, ctx);
}
VecValue VecS16UnpackHiV(VecValue zn, CpuContext *ctx) {
    return unpack<int16_t, int8_t>(zn, true, ctx);
}
VecValue VecS32UnpackLoV(VecValue zn, CpuContext *ctx) {
    return unpack<int32_t, int16_t>(zn, false, ctx);
}
VecValue VecS32UnpackHiV(VecValue zn, CpuContext *ctx) {
    return unpack<int32_t, int16_t>(zn, true, ctx);
}
