#include "sve/kernels/host_signal_context.h"

#include <ucontext.h>

// The probe is written in assembly so that its load has a known address and length whatever the
// compiler does: the fault handler compares the faulting pc with the load's address and resumes
// at the label after it.
#if defined(__x86_64__)
asm(R"(
    .pushsection .text
    .p2align 4
    .globl ostrel_probe_byte
    .hidden ostrel_probe_byte
    .type ostrel_probe_byte, @function
ostrel_probe_byte:
    .cfi_startproc
    xorl %eax, %eax
    .globl ostrel_probe_load
    .hidden ostrel_probe_load
ostrel_probe_load:
    movzbl (%rdi), %eax
    .globl ostrel_probe_resume
    .hidden ostrel_probe_resume
ostrel_probe_resume:
    ret
    .cfi_endproc
    .size ostrel_probe_byte, .-ostrel_probe_byte
    .popsection
)");
#elif defined(__aarch64__)
asm(R"(
    .pushsection .text
    .p2align 2
    .globl ostrel_probe_byte
    .hidden ostrel_probe_byte
    .type ostrel_probe_byte, %function
ostrel_probe_byte:
    .cfi_startproc
    .globl ostrel_probe_load
    .hidden ostrel_probe_load
ostrel_probe_load:
    ldrb w0, [x0]
    .globl ostrel_probe_resume
    .hidden ostrel_probe_resume
ostrel_probe_resume:
    ret
    .cfi_endproc
    .size ostrel_probe_byte, .-ostrel_probe_byte
    .popsection
)");
#else
#error "no readability probe for this host"
#endif

extern "C" {
__attribute__((visibility("hidden"))) uint8_t ostrel_probe_byte(const volatile char *p);
__attribute__((visibility("hidden"))) extern const char ostrel_probe_load[];
__attribute__((visibility("hidden"))) extern const char ostrel_probe_resume[];
}

namespace ostrel::host {
namespace {

#if defined(__x86_64__)
greg_t &saved_pc(ucontext_t *uc) {
    return uc->uc_mcontext.gregs[REG_RIP];
}
#else
unsigned long long &saved_pc(ucontext_t *uc) {
    return uc->uc_mcontext.pc;
}
#endif

} // namespace

uint8_t probe_byte(const volatile char *p) {
    return ostrel_probe_byte(p);
}

uintptr_t probe_load_address() {
    return reinterpret_cast<uintptr_t>(ostrel_probe_load);
}

uintptr_t context_pc(const void *ucontext) {
    return static_cast<uintptr_t>(
        saved_pc(static_cast<ucontext_t *>(const_cast<void *>(ucontext))));
}

bool skip_probe_load(void *ucontext) {
    auto *uc = static_cast<ucontext_t *>(ucontext);
    if (context_pc(uc) != probe_load_address()) return false;
    // One A64 instruction on AArch64; the encoded length of the load on x86-64.
    saved_pc(uc) += ostrel_probe_resume - ostrel_probe_load;
    return true;
}

} // namespace ostrel::host
