// Load and replicate a quadword (LD1RQB/H/W/D): a 16-byte block read element by element under
// predicate bits 0 .. 15, repeated in every 128-bit segment of the vector. Reads are plain
// (no fault flag): a fault here is not recovered. Kernels never trace.
#include "sve/kernels/guest_memory.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

constexpr unsigned kQuadBytes = 16;

template <unsigned Msize>
VecValue load_dup_quad(const PredV &pg, uint64_t address, CpuContext *ctx) {
    uint8_t block[kQuadBytes] = {};
    for (unsigned j = 0; j < kQuadBytes / Msize; ++j) {
        if (!pg.bit(j * Msize)) continue;
        const uint64_t v = ReadMemLibOfWidth<Msize>(address + uint64_t{j} * Msize, nullptr, ctx);
        __builtin_memcpy(block + j * Msize, &v, Msize); // little-endian host
    }
    VecValue result{};
    const unsigned segments = (ctx->vl & ostrel::kVlMask) / 2;
    for (unsigned seg = 0; seg < segments && (seg + 1) * kQuadBytes <= sizeof result.bytes; ++seg)
        __builtin_memcpy(result.bytes + seg * kQuadBytes, block, kQuadBytes);
    return result;
}

// Scalar plus immediate: the signed immediate counts 16-byte blocks.
template <unsigned Msize>
VecValue load_dup_quad_si(const PredV &pg, uint64_t base, int imm, CpuContext *ctx) {
    return load_dup_quad<Msize>(pg, base + static_cast<uint64_t>(int64_t{imm}) * kQuadBytes, ctx);
}

// Scalar plus scalar: the index counts memory elements.
template <unsigned Msize>
VecValue load_dup_quad_ss(const PredV &pg, uint64_t base, uint64_t index, CpuContext *ctx) {
    return load_dup_quad<Msize>(pg, base + index * Msize, ctx);
}

} // namespace

VecValue VecU8LoadDup1QSIZ(PredV pg, uint64_t base, int imm, CpuContext *ctx) {
    return load_dup_quad_si<1>(pg, base, imm, ctx);
}
VecValue VecU16LoadDup2QSIZ(PredV pg, uint64_t base, int imm, CpuContext *ctx) {
    return load_dup_quad_si<2>(pg, base, imm, ctx);
}
VecValue VecU32LoadDup4QSIZ(PredV pg, uint64_t base, int imm, CpuContext *ctx) {
    return load_dup_quad_si<4>(pg, base, imm, ctx);
}
VecValue VecU64LoadDup8QSIZ(PredV pg, uint64_t base, int imm, CpuContext *ctx) {
    return load_dup_quad_si<8>(pg, base, imm, ctx);
}

VecValue VecU8LoadDup1QSSZ(PredV pg, uint64_t base, uint64_t index, CpuContext *ctx) {
    return load_dup_quad_ss<1>(pg, base, index, ctx);
}
VecValue VecU16LoadDup2QSSZ(PredV pg, uint64_t base, uint64_t index, CpuContext *ctx) {
    return load_dup_quad_ss<2>(pg, base, index, ctx);
}
VecValue VecU32LoadDup4QSSZ(PredV pg, uint64_t base, uint64_t index, CpuContext *ctx) {
    return load_dup_quad_ss<4>(pg, base, index, ctx);
}
VecValue VecU64LoadDup8QSSZ(PredV pg, uint64_t base, uint64_t index, CpuContext *ctx) {
    return load_dup_quad_ss<8>(pg, base, index, ctx);
}
