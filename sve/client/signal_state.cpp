#include "sve/client/signal_state.h"

#include <signal.h>
#include <stddef.h>
#include <sys/syscall.h>
#include <ucontext.h>

#include <cstring>

#include "dr_api.h"
#include "drmgr.h"

#include "sve/client/client_state.h"
#include "sve/client/cpu_state.h"

namespace ostrel::client {
namespace {

// One save: the register file as the interrupted code left it, and that code's stack pointer,
// which the handler's signal frame carries back to rt_sigreturn.
struct SavedState {
    cpu_state state;
    uint64_t interrupted_sp;
};

// Saves of the handlers a thread is inside, innermost last. A handler left by siglongjmp leaves
// its save here; it is never restored (a return matches the innermost save with its own stack
// pointer and drops the saves above it), and the oldest saves go when the stack is full.
constexpr unsigned kMaxSaves = 64;
struct ThreadSaves {
    unsigned depth;
    SavedState *saves[kMaxSaves];
};

int saves_idx = -1;

// Where the interrupted stack pointer sits in the rt_sigframe that SP points at on rt_sigreturn
// (siginfo, then the ucontext, as the kernel lays it out and the framework copies it).
constexpr size_t kFrameSpOffset =
    sizeof(siginfo_t) + offsetof(ucontext_t, uc_mcontext) + offsetof(mcontext_t, sp);

ThreadSaves *saves_of(void *drcontext) {
    return static_cast<ThreadSaves *>(drmgr_get_tls_field(drcontext, saves_idx));
}

void drop_top(void *drcontext, ThreadSaves &saves) {
    dr_thread_free(drcontext, saves.saves[--saves.depth], sizeof(SavedState));
}

void event_thread_init(void *drcontext) {
    auto *saves = static_cast<ThreadSaves *>(dr_thread_alloc(drcontext, sizeof(ThreadSaves)));
    saves->depth = 0;
    drmgr_set_tls_field(drcontext, saves_idx, saves);
}

void event_thread_exit(void *drcontext) {
    ThreadSaves *saves = saves_of(drcontext);
    while (saves->depth > 0)
        drop_top(drcontext, *saves);
    dr_thread_free(drcontext, saves, sizeof(ThreadSaves));
}

dr_signal_action_t event_signal(void *drcontext, dr_siginfo_t *info) {
    // A blocked signal is reported again when it is delivered.
    if (info->blocked) return DR_SIGNAL_DELIVER;
    ThreadSaves *saves = saves_of(drcontext);
    if (saves->depth == kMaxSaves) {
        dr_thread_free(drcontext, saves->saves[0], sizeof(SavedState));
        std::memmove(saves->saves, saves->saves + 1, (kMaxSaves - 1) * sizeof(SavedState *));
        --saves->depth;
    }
    auto *save = static_cast<SavedState *>(dr_thread_alloc(drcontext, sizeof(SavedState)));
    std::memcpy(&save->state, drmgr_get_tls_field(drcontext, tls_idx), sizeof(cpu_state));
    save->interrupted_sp = info->mcontext->xsp;
    saves->saves[saves->depth++] = save;
    return DR_SIGNAL_DELIVER;
}

// Every system call, not only rt_sigreturn. A call the framework would otherwise run inside the
// code cache (futex, nanosleep, ...) lets a signal that arrives during it reach its handler at
// once, while signals already queued for the thread keep their note of having arrived unmasked:
// the next time the thread passes through the framework one of them is delivered although the
// new handler's mask blocks it. Intercepted calls go through the framework's dispatcher, where
// queued signals are checked against the current mask. That makes such deliveries rare, not
// impossible.
bool event_filter_syscall(void *, int) {
    return true;
}

bool event_pre_syscall(void *drcontext, int sysnum) {
    if (sysnum != SYS_rt_sigreturn) return true;
    ThreadSaves *saves = saves_of(drcontext);
    dr_mcontext_t mc;
    mc.size = sizeof mc;
    mc.flags = DR_MC_CONTROL;
    uint64_t interrupted_sp;
    if (saves->depth == 0 || !dr_get_mcontext(drcontext, &mc) ||
        !dr_safe_read(reinterpret_cast<void *>(mc.xsp + kFrameSpOffset), sizeof interrupted_sp,
                      &interrupted_sp, nullptr))
        return true;
    unsigned match = saves->depth;
    while (match > 0 && saves->saves[match - 1]->interrupted_sp != interrupted_sp)
        --match;
    if (match == 0) return true; // a frame the program built itself: nothing of ours to restore
    while (saves->depth > match)
        drop_top(drcontext, *saves);
    std::memcpy(drmgr_get_tls_field(drcontext, tls_idx), &saves->saves[match - 1]->state,
                sizeof(cpu_state));
    drop_top(drcontext, *saves);
    return true;
}

} // namespace

void register_signal_state_events() {
    saves_idx = drmgr_register_tls_field();
    DR_ASSERT_MSG(saves_idx != -1, "no TLS field for signal saves");
    drmgr_register_thread_init_event(event_thread_init);
    drmgr_register_thread_exit_event(event_thread_exit);
    drmgr_register_signal_event(event_signal);
    drmgr_register_filter_syscall_event(event_filter_syscall);
    drmgr_register_pre_syscall_event(event_pre_syscall);
}

} // namespace ostrel::client
