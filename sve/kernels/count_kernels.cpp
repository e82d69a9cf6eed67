// Kernels of the element counts by pattern: CNTB, CNTH, CNTW, CNTD.
#include "sve/exec/integer/pred_flags.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

namespace {

// count(pattern, VL x 64 / esize) x (imm4 + 1).
uint64_t count_vl(unsigned esize_bits, unsigned pattern, unsigned imm4, const CpuContext *ctx) {
    const uint32_t elements = (ctx->vl & ostrel::kVlMask) * 64 / esize_bits;
    const uint64_t count = VecTrueILength(pattern, elements);
    return count + imm4 * count;
}

} // namespace

uint64_t VecU8CountVLSI(unsigned pattern, unsigned imm4, CpuContext *ctx) {
    return count_vl(8, pattern, imm4, ctx);
}
uint64_t VecU16CountVLSI(unsigned pattern, unsigned imm4, CpuContext *ctx) {
    return count_vl(16, pattern, imm4, ctx);
}
uint64_t VecU32CountVLSI(unsigned pattern, unsigned imm4, CpuContext *ctx) {
    return count_vl(32, pattern, imm4, ctx);
}
uint64_t VecU64CountVLSI(unsigned pattern, unsigned imm4, CpuContext *ctx) {
    return count_vl(64, pattern, imm4, ctx);
}
