// Instructions the emulator does not know keep their native fate.
//   sigill_fate unknown      executes an unallocated SVE-space word: dies of SIGILL
//   sigill_fate own-handler  installs its own SIGILL handler, runs an emulated SVE instruction and
//                            then the unallocated word, which must reach its handler
#include <arm_sve.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <ucontext.h>

#define UNALLOCATED() __asm__ volatile(".inst 0x0420c000" ::: "memory")

static volatile int handled;

static void on_sigill(int sig, siginfo_t *info, void *context) {
    (void)sig;
    (void)info;
    ucontext_t *uc = context;
    ++handled;
    uc->uc_mcontext.pc += 4;
}

int main(int argc, char **argv) {
    if (argc > 1 && strcmp(argv[1], "own-handler") == 0) {
        struct sigaction action;
        memset(&action, 0, sizeof action);
        action.sa_sigaction = on_sigill;
        action.sa_flags = SA_SIGINFO;
        sigaction(SIGILL, &action, NULL);
        printf("bytes per vector: %llu\n", (unsigned long long)svcntb());
        UNALLOCATED();
        printf("handled: %d\n", handled);
        return 0;
    }
    printf("before\n");
    fflush(stdout);
    UNALLOCATED();
    printf("after\n");
    return 0;
}
