// The context a kernel-road decode function builds for one kernel call, and the copy back.
#include "sve/decode/forms.h"

namespace ostrel::decode {

CpuContext make_kernel_context(const cpu_state &s) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    CpuContext ctx;
    ctx.nzcv = static_cast<uint32_t>(s.nzcv);
    ctx.fpsr = s.fpsr;
    ctx.fpcr = s.fpcr & kKernelFpcrMask;
    ctx.vl = vl_bytes / 8;
    ctx.ffr = pack_predicate_bytes(s.ffr, vl_bytes);
    return ctx;
}

void copy_back_kernel_context(cpu_state &s, const CpuContext &ctx) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    s.nzcv = ctx.nzcv;
    s.fpsr = ctx.fpsr;
    unpack_predicate_bits(ctx.ffr, vl_bytes, s.ffr);
}

} // namespace ostrel::decode
