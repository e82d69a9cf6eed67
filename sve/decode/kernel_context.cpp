// The context a kernel-road decode function builds for one kernel call, and the copy back. The
// FFR goes both ways on every call, whether the kernel reads it or not, so its conversion is the
// block form.
#include "sve/decode/forms.h"
#include "sve/decode/predicate_blocks.h"

namespace ostrel::decode {

CpuContext make_kernel_context(const cpu_state &s) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    CpuContext ctx;
    ctx.nzcv = static_cast<uint32_t>(s.nzcv);
    ctx.fpsr = s.fpsr;
    ctx.fpcr = s.fpcr & kKernelFpcrMask;
    ctx.vl = vl_bytes / 8;
    ctx.ffr = pack_predicate_blocks(s.ffr, vl_bytes);
    return ctx;
}

void copy_back_kernel_context(cpu_state &s, const CpuContext &ctx) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    s.nzcv = ctx.nzcv;
    s.fpsr = ctx.fpsr;
    unpack_predicate_blocks(ctx.ffr, vl_bytes, s.ffr);
}

} // namespace ostrel::decode
