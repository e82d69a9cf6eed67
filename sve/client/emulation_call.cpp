#include "sve/client/emulation_call.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "dr_api.h"
#include "drmgr.h"

#include "sve/client/client_state.h"
#include "sve/client/emulate.h"
#include "sve/kernels/guest_memory.h"

namespace ostrel::client {
namespace {

// An emulated load or store faulted outside any guarded read. Without the framework the
// process's fault handler reports this and lets the signal's default action end the process;
// here the framework owns the signal handlers, so the same end is reached directly: the kernel's
// disposition goes back to the default and the signal is raised again. (The framework does not
// say which signal it caught; a plain access that faults on a Linux mapping is a SIGSEGV.)
[[noreturn]] void end_process_on_fault() {
    report_unguarded_fault(SIGSEGV);
    struct kernel_sigaction {
        void (*handler)(int);
        unsigned long flags;
        void (*restorer)();
        unsigned long mask;
    } default_action = {SIG_DFL, 0, nullptr, 0};
    syscall(SYS_rt_sigaction, SIGSEGV, &default_action, nullptr, sizeof default_action.mask);
    syscall(SYS_tgkill, syscall(SYS_getpid), syscall(SYS_gettid), SIGSEGV);
    for (;;)
        syscall(SYS_exit_group, 128 + SIGSEGV); // not reached: the signal ends the process
}

} // namespace

void emulate_instruction(unsigned int encoding, unsigned char *pc, sve_handler_t handler) {
    void *drcontext = dr_get_current_drcontext();
    auto *state = static_cast<cpu_state *>(drmgr_get_tls_field(drcontext, tls_idx));
    ParkedRegisters parked = {dr_read_saved_reg(drcontext, kSlotX26),
                              dr_read_saved_reg(drcontext, kSlotX27),
                              dr_read_saved_reg(drcontext, kSlotX28)};
    bool faulted = false;
    DR_TRY_EXCEPT(
        drcontext, { emulate_sve_instruction(state, encoding, pc, handler, &parked); },
        { faulted = true; });
    if (faulted) end_process_on_fault();
    dr_write_saved_reg(drcontext, kSlotX26, parked.x26);
    dr_write_saved_reg(drcontext, kSlotX27, parked.x27);
    dr_write_saved_reg(drcontext, kSlotX28, parked.x28);
}

} // namespace ostrel::client
