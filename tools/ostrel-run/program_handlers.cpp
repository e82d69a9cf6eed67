#include "tools/ostrel-run/program_handlers.h"

#include <initializer_list>

#include "tools/ostrel-run/saved_vectors.h"
#include "tools/ostrel-run/thread_registers.h"

namespace ostrel::runner {
namespace {

// The program's dispositions of the signals whose handlers the wrapper fronts; `wrapped` false
// means the kernel's disposition is the program's own.
struct sigaction program_actions[NSIG];
volatile bool wrapped[NSIG];

bool has_handler(const struct sigaction &action) {
    if (action.sa_flags & SA_SIGINFO) return action.sa_sigaction != nullptr;
    return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

void run_program_handler(int sig, siginfo_t *info, void *context) {
    const struct sigaction action = program_actions[sig];
    if (action.sa_flags & SA_RESETHAND) wrapped[sig] = false; // the kernel reset it to SIG_DFL
    call_with_vectors_kept(action, sig, info, context);
}

} // namespace

void remove_synchronous_signals(sigset_t &mask) {
    for (int sig : {SIGILL, SIGSEGV, SIGBUS, SIGFPE, SIGTRAP, SIGSYS})
        sigdelset(&mask, sig);
}

void call_with_vectors_kept(const struct sigaction &action, int sig, siginfo_t *info,
                            void *context) {
    cpu_state *state = existing_registers_of_this_thread();
    SavedVectors saved; // on the handler's stack: see the header
    if (state) save_vectors(*state, saved);
    if (action.sa_flags & SA_SIGINFO)
        action.sa_sigaction(sig, info, context);
    else
        action.sa_handler(sig);
    if (state)
        restore_vectors(saved, *state);
    else if (cpu_state *created = existing_registers_of_this_thread())
        clear_vectors(*created); // the interrupted code had not used SVE yet
}

int program_sigaction(sigaction_fn real, int sig, const struct sigaction *act,
                      struct sigaction *old) {
    if (sig <= 0 || sig >= NSIG || sig == SIGKILL || sig == SIGSTOP) return real(sig, act, old);
    struct sigaction previous;
    const bool was_wrapped = wrapped[sig];
    const struct sigaction was = program_actions[sig];
    if (!act || !has_handler(*act)) {
        const int rc = real(sig, act, &previous);
        if (rc != 0) return rc;
        if (act) wrapped[sig] = false;
    } else {
        struct sigaction installed = *act;
        installed.sa_sigaction = run_program_handler;
        installed.sa_flags |= SA_SIGINFO;
        remove_synchronous_signals(installed.sa_mask);
        // The program's handler is in place before the wrapper can first run.
        program_actions[sig] = *act;
        wrapped[sig] = true;
        const int rc = real(sig, &installed, &previous);
        if (rc != 0) {
            program_actions[sig] = was;
            wrapped[sig] = was_wrapped;
            return rc;
        }
    }
    if (old) *old = was_wrapped ? was : previous;
    return 0;
}

} // namespace ostrel::runner
