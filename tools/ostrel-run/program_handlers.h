// The program's signal handlers run inside a wrapper that keeps the interrupted code's emulated
// vector state: saved on the handler's own stack when it is entered, put back when it returns. A
// handler left by siglongjmp takes its save with it, so nothing stale can be restored later.
#pragma once

#include <signal.h>

namespace ostrel::runner {

using sigaction_fn = int (*)(int, const struct sigaction *, struct sigaction *);

// sigaction for every signal but SIGILL: installs the wrapper in front of a program handler and
// reports the program's own disposition back.
int program_sigaction(sigaction_fn real, int sig, const struct sigaction *act,
                      struct sigaction *old);

// Calls `action`'s handler as the kernel would, with the vector state kept around it.
void call_with_vectors_kept(const struct sigaction &action, int sig, siginfo_t *info,
                            void *context);

// Signals the emulation itself may raise (a fault in an emulated access, an instruction it
// passes on); they stay deliverable inside every handler.
void remove_synchronous_signals(sigset_t &mask);

} // namespace ostrel::runner
