// Kernels of ADR: every element of Zn plus the matching offset of Zm times 1, 2, 4 or 8, over the
// context's vector length. No predicate, no memory access.
#include "sve/kernels/lea_kernels.h"

#include "sve/exec/memory/address_generation.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

using ostrel::memory::AdrOffset;

template <AdrOffset Kind, typename T>
VecValue lea(const VecValue &zn, const VecValue &zm, unsigned shift, const CpuContext *ctx) {
    const unsigned elements = (ctx->vl & ostrel::kVlMask) * 8 / sizeof(T);
    VecValue result = zn;
    for (unsigned i = 0; i < elements; ++i)
        result.set<T>(i, ostrel::memory::adr_element<Kind, T>(zn.get<T>(i), zm.get<T>(i), shift));
    return result;
}

} // namespace

#define OSTREL_LEA_KERNEL(name, T, kind, shift)                                                    \
    VecValue name(VecValue zn, VecValue zm, CpuContext *ctx) {                                     \
        return lea<AdrOffset::kind, T>(zn, zm, shift, ctx);                                        \
    }
#define OSTREL_LEA_KERNELS(multiplier, shift)                                                      \
    OSTREL_LEA_KERNEL(VecU32LEA##multiplier##VV, uint32_t, whole, shift)                           \
    OSTREL_LEA_KERNEL(VecU64LEA##multiplier##VV, uint64_t, whole, shift)                           \
    OSTREL_LEA_KERNEL(VecU64LEA##multiplier##XVV, uint64_t, sxtw, shift)                           \
    OSTREL_LEA_KERNEL(VecU64LEA##multiplier##YVV, uint64_t, uxtw, shift)

OSTREL_LEA_KERNELS(1, 0)
OSTREL_LEA_KERNELS(2, 1)
OSTREL_LEA_KERNELS(4, 2)
OSTREL_LEA_KERNELS(8, 3)
