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
    ctx.ffr.clear();
    for (unsigned i = 0; i < vl_bytes; ++i)
        ctx.ffr.words[i >> 6] |= uint64_t{s.ffr[i] & 1u} << (i & 63);
    return ctx;
}

void copy_back_kernel_context(cpu_state &s, const CpuContext &ctx) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    s.nzcv = ctx.nzcv;
    s.fpsr = ctx.fpsr;
    for (unsigned i = 0; i < vl_bytes; ++i)
        s.ffr[i] = ctx.ffr.bit(i);
}

} // namespace ostrel::decode
