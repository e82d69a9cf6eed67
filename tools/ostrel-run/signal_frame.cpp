#include "tools/ostrel-run/signal_frame.h"

#include <asm/sigcontext.h>

#include <cstring>

namespace ostrel::runner {
namespace {

constexpr uint64_t kNzcvMask = 0xf0000000ull;

// The FP/SIMD record among the frame's extension records.
fpsimd_context *find_fpsimd(const ucontext_t &frame) {
    auto *at = const_cast<unsigned char *>(frame.uc_mcontext.__reserved);
    const unsigned char *end = at + sizeof frame.uc_mcontext.__reserved;
    while (at + sizeof(_aarch64_ctx) <= end) {
        auto *head = reinterpret_cast<_aarch64_ctx *>(at);
        if (head->magic == FPSIMD_MAGIC) return reinterpret_cast<fpsimd_context *>(at);
        if (head->magic == 0 || head->size == 0) break;
        at += head->size;
    }
    return nullptr;
}

} // namespace

bool copy_frame_to_state(const ucontext_t &frame, cpu_state &state) {
    const fpsimd_context *fp = find_fpsimd(frame);
    if (!fp) return false;
    const mcontext_t &mc = frame.uc_mcontext;
    std::memcpy(state.x, mc.regs, sizeof state.x);
    state.sp = mc.sp;
    state.nzcv = mc.pstate & kNzcvMask;
    state.fpsr = fp->fpsr;
    state.fpcr = fp->fpcr;
    for (unsigned i = 0; i < kNumZRegs; ++i)
        std::memcpy(state.z[i], &fp->vregs[i], 16);
    return true;
}

void copy_state_to_frame(const cpu_state &state, ucontext_t &frame) {
    fpsimd_context *fp = find_fpsimd(frame);
    mcontext_t &mc = frame.uc_mcontext;
    std::memcpy(mc.regs, state.x, sizeof state.x);
    mc.sp = state.sp;
    mc.pstate = (mc.pstate & ~kNzcvMask) | (state.nzcv & kNzcvMask);
    if (!fp) return;
    fp->fpsr = state.fpsr;
    for (unsigned i = 0; i < kNumZRegs; ++i)
        std::memcpy(&fp->vregs[i], state.z[i], 16);
}

uint64_t frame_pc(const ucontext_t &frame) {
    return frame.uc_mcontext.pc;
}
void set_frame_pc(ucontext_t &frame, uint64_t pc) {
    frame.uc_mcontext.pc = pc;
}

} // namespace ostrel::runner
