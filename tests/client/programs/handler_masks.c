// A signal never interrupts code whose mask blocks it. One thread sleeps again and again at the
// end of a long straight-line block; the main thread sends it SIGUSR1 and then SIGUSR2, whose
// handler blocks SIGUSR1 and makes a system call. A SIGUSR1 that arrives in the block waits for
// the block's end while the SIGUSR2 that follows may arrive during the sleep: a front end that
// delivers the waiting SIGUSR1 inside the SIGUSR2 handler breaks the mask. SIGUSR1's handler
// counts the times its interrupted context had SIGUSR1 blocked, which is never allowed.
#define _GNU_SOURCE
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

enum { kSignalPairs = 10000 };

static volatile sig_atomic_t against_mask, usr1_runs, usr2_runs, stop;
static volatile pid_t sleeper_tid;

static void on_usr1(int sig, siginfo_t *info, void *context) {
    (void)sig;
    (void)info;
    usr1_runs = usr1_runs + 1;
    if (sigismember(&((ucontext_t *)context)->uc_sigmask, SIGUSR1)) against_mask = against_mask + 1;
}

static void on_usr2(int sig) {
    (void)sig;
    usr2_runs = usr2_runs + 1;
    sigset_t current;
    sigprocmask(SIG_BLOCK, NULL, &current);
}

static void *sleeper(void *arg) {
    (void)arg;
    sleeper_tid = (pid_t)syscall(SYS_gettid);
    struct timespec pause = {0, 20000};
    while (!stop)
        asm volatile(".rept 600\n add x9, x9, #1\n .endr\n"
                     "mov x0, %[pause]\n mov x1, #0\n mov x8, #101\n svc #0\n" /* nanosleep */
                     :
                     : [pause] "r"(&pause)
                     : "x0", "x1", "x8", "x9", "memory");
    return NULL;
}

int main(void) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_sigaction = on_usr1;
    action.sa_flags = SA_SIGINFO;
    sigaction(SIGUSR1, &action, NULL);
    memset(&action, 0, sizeof action);
    action.sa_handler = on_usr2;
    sigaddset(&action.sa_mask, SIGUSR1);
    sigaction(SIGUSR2, &action, NULL);

    pthread_t thread;
    pthread_create(&thread, NULL, sleeper, NULL);
    while (!sleeper_tid)
        usleep(100);
    // Varying gaps, so that the pair lands at every point of the sleeper's loop.
    unsigned random = 1;
    for (int pair = 0; pair < kSignalPairs; ++pair) {
        syscall(SYS_tgkill, getpid(), sleeper_tid, SIGUSR1);
        for (volatile unsigned spin = 0; spin < random % 64; ++spin) {
        }
        syscall(SYS_tgkill, getpid(), sleeper_tid, SIGUSR2);
        random = random * 1103515245u + 12345u;
        usleep(50 + (random >> 16) % 200);
    }
    stop = 1;
    pthread_join(thread, NULL);
    printf("both handlers ran: %d\n", usr1_runs > 0 && usr2_runs > 0);
    printf("signals delivered against the interrupted code's mask: %d\n", (int)against_mask);
    return 0;
}
