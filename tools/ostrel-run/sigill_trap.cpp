// The trap library that ostrel-run preloads into an AArch64 program. Every SVE instruction the
// processor rejects arrives here as a SIGILL; an instruction the decode tables know is emulated on
// the thread's register file and the program resumes after it. Anything else keeps its native
// fate: the program's own SIGILL handler, or death by SIGILL. Asynchronous signals wait while an
// instruction is emulated (the trap's mask blocks them), and every program handler runs with the
// interrupted code's vector state kept around it (program_handlers.h).
#include <dlfcn.h>
#include <signal.h>
#include <ucontext.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "sve/client/emulate.h"
#include "sve/client/mix_session.h"
#include "sve/client/vector_length_choice.h"
#include "sve/decode/decode_rows.h"
#include "sve/trace/trace_support.h"
#include "tools/ostrel-run/program_handlers.h"
#include "tools/ostrel-run/signal_frame.h"
#include "tools/ostrel-run/thread_registers.h"

namespace {

using ostrel::runner::sigaction_fn;

sigaction_fn real_sigaction() {
    static sigaction_fn fn = reinterpret_cast<sigaction_fn>(dlsym(RTLD_NEXT, "sigaction"));
    return fn;
}

// The program's own SIGILL disposition, kept while ours stays installed.
struct sigaction program_sigill;

// The native fate of an instruction we do not emulate. The program's handler runs under the mask
// it would have had: the interrupted code's, its own and SIGILL's unless SA_NODEFER.
void pass_on(int sig, siginfo_t *info, void *context) {
    const struct sigaction prog = program_sigill;
    const bool has_handler = (prog.sa_flags & SA_SIGINFO)
                                 ? prog.sa_sigaction != nullptr
                                 : prog.sa_handler != SIG_DFL && prog.sa_handler != SIG_IGN;
    if (has_handler) {
        sigset_t mask = static_cast<ucontext_t *>(context)->uc_sigmask;
        sigorset(&mask, &mask, &prog.sa_mask);
        if (!(prog.sa_flags & SA_NODEFER)) sigaddset(&mask, SIGILL);
        pthread_sigmask(SIG_SETMASK, &mask, nullptr);
        return ostrel::runner::call_with_vectors_kept(prog, sig, info, context);
    }
    // Default action: returning re-executes the instruction, which now kills the process.
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    real_sigaction()(SIGILL, &dfl, nullptr);
}

void on_sigill(int sig, siginfo_t *info, void *context) {
    const int saved_errno = errno;
    auto &frame = *static_cast<ucontext_t *>(context);
    auto *pc = reinterpret_cast<unsigned char *>(ostrel::runner::frame_pc(frame));
    uint32_t word;
    std::memcpy(&word, pc, sizeof word);
    const sve_handler_t handler = get_sve_handler(word);
    cpu_state *state = handler ? ostrel::runner::registers_of_this_thread() : nullptr;
    if (!state || !ostrel::runner::copy_frame_to_state(frame, *state)) {
        pass_on(sig, info, context);
        errno = saved_errno;
        return;
    }
    ostrel::emulate_sve_instruction(state, word, pc, handler);
    ostrel::runner::copy_state_to_frame(*state, frame);
    ostrel::runner::set_frame_pc(frame, reinterpret_cast<uint64_t>(pc) + 4);
    errno = saved_errno;
}

void install_trap() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = on_sigill;
    action.sa_flags = SA_SIGINFO;
    // A handler that ran in the middle of an emulated instruction would find the register file
    // half written, and its own SVE instructions could not trap while SIGILL is blocked.
    sigfillset(&action.sa_mask);
    ostrel::runner::remove_synchronous_signals(action.sa_mask);
    real_sigaction()(SIGILL, &action, &program_sigill);
}

// The length comes from the environment that ostrel-run (or an exec'ing parent) left; it is
// fixed before the trap can see an instruction. ostrel-run has already refused a bad value: this
// refusal is for a program started with the library preloaded by hand.
void set_length_from_environment() {
    const ostrel::VectorLengthChoice length =
        ostrel::choose_vector_length("", nullptr, std::getenv(ostrel::kVectorLengthVariable));
    if (!length.error.empty()) {
        std::fprintf(stderr, "ostrel: %s\n", length.error.c_str());
        _exit(2);
    }
    ostrel::set_vector_length_bits(length.bits);
}

__attribute__((constructor)) void start() {
    set_length_from_environment();
    const std::string mix_error = ostrel::mix::start_mix_from_environment();
    if (!mix_error.empty()) {
        std::fprintf(stderr, "%s\n", mix_error.c_str());
        _exit(1);
    }
    ostrel::runner::start_thread_registers();
    install_trap();
    sve_init(nullptr, program_invocation_short_name);
}

__attribute__((destructor)) void finish() {
    ostrel::mix::finish_mix();
    sve_exit();
}

} // namespace

// The program may install its own SIGILL handler: we stay in front and hand it what we do not
// emulate. Every other handler runs behind the wrapper that keeps the vector state.
extern "C" __attribute__((visibility("default"))) int
sigaction(int sig, const struct sigaction *act, struct sigaction *old) {
    if (sig != SIGILL) return ostrel::runner::program_sigaction(real_sigaction(), sig, act, old);
    if (old) *old = program_sigill;
    if (act) program_sigill = *act;
    return 0;
}

extern "C" __attribute__((visibility("default"))) sighandler_t signal(int sig,
                                                                      sighandler_t handler) {
    struct sigaction act, old;
    std::memset(&act, 0, sizeof act);
    act.sa_handler = handler;
    act.sa_flags = SA_RESTART;
    if (sigaction(sig, &act, &old) != 0) return SIG_ERR;
    if (old.sa_flags & SA_SIGINFO)
        return reinterpret_cast<sighandler_t>(reinterpret_cast<void *>(old.sa_sigaction));
    return old.sa_handler;
}
