// Kernels of the saturating element counts by pattern: SQINC, UQINC, SQDEC, UQDEC on 32-bit and
// 64-bit scalars and on vectors of halfwords, words and doublewords.
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/integer/saturating_counts.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

using ostrel::kSigned;
using ostrel::kUnsigned;

// count(pattern, VL x 64 / esize) x (imm4 + 1), esize being the counted element size in bits.
uint64_t amount(unsigned esize_bits, unsigned pattern, unsigned imm4, const CpuContext *ctx) {
    const uint32_t elements = (ctx->vl & ostrel::kVlMask) * 64 / esize_bits;
    const uint64_t count = VecTrueILength(pattern, elements);
    return count + imm4 * count;
}

// Wdn or Xdn (scalar_bits 32 or 64) stepped by the count of esize_bits elements.
uint64_t scalar(uint64_t rdn, int scalar_bits, unsigned esize_bits, int is_unsigned, bool decrement,
                unsigned pattern, unsigned imm4, const CpuContext *ctx) {
    return ostrel::integer::saturating_step_scalar(rdn, amount(esize_bits, pattern, imm4, ctx),
                                                   scalar_bits, is_unsigned, decrement);
}

// Every element of the context's vector length stepped by the count of its own size.
template <typename T>
VecValue vector(const VecValue &zdn, int is_unsigned, bool decrement, unsigned pattern,
                unsigned imm4, const CpuContext *ctx) {
    constexpr int kBits = sizeof(T) * 8;
    const uint64_t step = amount(kBits, pattern, imm4, ctx);
    const unsigned elements = (ctx->vl & ostrel::kVlMask) * 8 / sizeof(T);
    VecValue result = zdn;
    for (unsigned i = 0; i < elements; ++i)
        result.set<T>(i, static_cast<T>(ostrel::integer::saturating_step(zdn.get<T>(i), step, kBits,
                                                                         is_unsigned, decrement)));
    return result;
}

} // namespace

// One kernel per instruction, counted element size and signedness.
#define OSTREL_SCALAR_COUNT_KERNEL(name, scalar_bits, esize_bits, sign, decrement)                 \
    uint64_t name(uint64_t rdn, unsigned pattern, unsigned imm4, CpuContext *ctx) {                \
        return scalar(rdn, scalar_bits, esize_bits, sign, decrement, pattern, imm4, ctx);          \
    }
#define OSTREL_SCALAR_COUNT_KERNELS(T, esize_bits, sign)                                           \
    OSTREL_SCALAR_COUNT_KERNEL(Vec##T##QIncrVL4SI, 32, esize_bits, sign, false)                    \
    OSTREL_SCALAR_COUNT_KERNEL(Vec##T##QIncrVL8SI, 64, esize_bits, sign, false)                    \
    OSTREL_SCALAR_COUNT_KERNEL(Vec##T##QDecrVL4SI, 32, esize_bits, sign, true)                     \
    OSTREL_SCALAR_COUNT_KERNEL(Vec##T##QDecrVL8SI, 64, esize_bits, sign, true)

#define OSTREL_VECTOR_COUNT_KERNELS(T, element, sign)                                              \
    VecValue Vec##T##QIncrVLVI(VecValue zdn, unsigned pattern, unsigned imm4, CpuContext *ctx) {   \
        return vector<element>(zdn, sign, false, pattern, imm4, ctx);                              \
    }                                                                                              \
    VecValue Vec##T##QDecrVLVI(VecValue zdn, unsigned pattern, unsigned imm4, CpuContext *ctx) {   \
        return vector<element>(zdn, sign, true, pattern, imm4, ctx);                               \
    }

OSTREL_SCALAR_COUNT_KERNELS(S8, 8, kSigned)
OSTREL_SCALAR_COUNT_KERNELS(S16, 16, kSigned)
OSTREL_SCALAR_COUNT_KERNELS(S32, 32, kSigned)
OSTREL_SCALAR_COUNT_KERNELS(S64, 64, kSigned)
// UQDECB on scalars runs on the fixed-length road; its kernels are not reached.
OSTREL_SCALAR_COUNT_KERNEL(VecU8QIncrVL4SI, 32, 8, kUnsigned, false)
OSTREL_SCALAR_COUNT_KERNEL(VecU8QIncrVL8SI, 64, 8, kUnsigned, false)
OSTREL_SCALAR_COUNT_KERNELS(U16, 16, kUnsigned)
OSTREL_SCALAR_COUNT_KERNELS(U32, 32, kUnsigned)
OSTREL_SCALAR_COUNT_KERNELS(U64, 64, kUnsigned)

OSTREL_VECTOR_COUNT_KERNELS(S16, uint16_t, kSigned)
OSTREL_VECTOR_COUNT_KERNELS(S32, uint32_t, kSigned)
OSTREL_VECTOR_COUNT_KERNELS(S64, uint64_t, kSigned)
OSTREL_VECTOR_COUNT_KERNELS(U16, uint16_t, kUnsigned)
OSTREL_VECTOR_COUNT_KERNELS(U32, uint32_t, kUnsigned)
OSTREL_VECTOR_COUNT_KERNELS(U64, uint64_t, kUnsigned)
