// Process-wide fault recovery and the state set up while the program loads: the page size, the
// decode tables and SVESigHandler, in that order, before any application thread runs.
//
// The initialiser lives in this object, next to SVEInitialize and the guarded reads' recovery
// state, so exactly the programs that use guest memory access (and so need the handler) install
// a process-wide SIGSEGV and SIGBUS handler; others linking the core are left alone.
#include <unistd.h>

#include <cstdio>

#include "sve/client/cpu_state.h"
#include "sve/kernels/guest_memory.h"

// Weak, so that a program without the decode tables does not pull them in; in a program that
// has them the call below builds them.
extern sve_handler_t get_sve_handler(unsigned int encoding) __attribute__((weak));

uint32_t page_size = 0;
CpuContext cpu_ctxt = {};
CpuContext *ctxt = nullptr;
int SVELibInitialized = 0;
thread_local sigjmp_buf sveFaultJB;
thread_local volatile sig_atomic_t SVEFaultRegion = 0;

namespace {

// `handler` null installs the default action.
void install_for_faults(void (*handler)(int, siginfo_t *, void *)) {
    struct sigaction action = {};
    if (handler)
        action.sa_sigaction = handler;
    else
        action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    action.sa_flags = ostrel::kFaultActionFlags;
    sigaction(SIGSEGV, &action, nullptr);
    sigaction(SIGBUS, &action, nullptr);
}

} // namespace

void SVESigHandler(int sig, siginfo_t *, void *ucontext) {
    // A readability probe whose temporary handler was already put back by a probe on another
    // thread.
    if (ostrel::claim_probe_fault(sig, ucontext)) return;
    if (SVEFaultRegion) {
        SVEFaultRegion = 0;
        siglongjmp(sveFaultJB, 1);
    }
    // Not ours to recover: with the default action in place, the faulting instruction runs again
    // on return and the signal ends the process as it would without the emulator.
    install_for_faults(nullptr);
    ostrel::report_unguarded_fault(sig);
}

void ostrel::report_unguarded_fault(int sig) {
    std::fprintf(stderr,
                 "vexem's SVESigHandler caught signal %s from the process being emulated, passing "
                 "it to the default signal handler.\n",
                 sig == SIGSEGV ? "SIGSEGV" : "SIGBUS");
    std::fflush(stderr);
}

int SVEInitialize() {
    if (SVELibInitialized) return SVELibInitialized;
    cpu_ctxt.vl = 2;
    ctxt = &cpu_ctxt;
    ostrel::install_fault_recovery();
    SVELibInitialized = 1;
    return 1;
}

__attribute__((weak)) void ostrel::install_fault_recovery() {
    install_for_faults(SVESigHandler);
}

namespace {

struct ProcessInit {
    ProcessInit() {
        page_size = static_cast<uint32_t>(sysconf(_SC_PAGESIZE));
        if (get_sve_handler) get_sve_handler(0); // the tables are built on their first lookup
        SVEInitialize();
    }
};

const ProcessInit process_init;

} // namespace
