// Signal handlers that run SVE instructions must leave the interrupted code's vector state (Z, P,
// FFR) as it was, as the kernel does on SVE hardware.
//   signal_vector_state          a 2 ms interval timer whose handler clobbers every Z, P and FFR,
//                                raises a nested signal inside its own SVE work and forwards a
//                                signal to two threads; main, both threads and a forked child run
//                                SVE loops that keep state in vector registers across iterations
//   signal_vector_state longjmp  handlers that leave by siglongjmp, from main and from inside
//                                another handler, followed by more SVE work
// Prints checksums and mismatch counts only, so that the number of signals does not show.
#include <pthread.h>
#include <setjmp.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

enum { kElements = 3000, kHitsWanted = 6, kRegisterBytes = 32 * 192 + 17 * 24 };

static uint32_t data[kElements];
static volatile sig_atomic_t handler_bad;
static __thread volatile int hits;
static pthread_t workers[2];
static volatile pid_t worker_tids[2];
static volatile int worker_count;

// Sends `sig` to this thread from inside an asm block, so that the block's vector state is live
// across the handler.
#define RAISE_IN_ASM                                                                               \
    "mov x0, %[pid]\n mov x1, %[tid]\n mov x2, %[sig]\n mov x8, #131\n svc #0\n" /* tgkill */
#define RAISE_OPERANDS                                                                             \
    [pid] "r"((uint64_t)getpid()), [tid] "r"((uint64_t)syscall(SYS_gettid)),                       \
        [sig] "r"((uint64_t)sig)
#define Z_CLOBBERS                                                                                 \
    "z0", "z1", "z2", "z3", "z4", "z5", "z6", "z7", "z8", "z9", "z10", "z11", "z12", "z13", "z14", \
        "z15", "z16", "z17", "z18", "z19", "z20", "z21", "z22", "z23", "z24", "z25", "z26", "z27", \
        "z28", "z29", "z30", "z31"
#define P_CLOBBERS                                                                                 \
    "p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9", "p10", "p11", "p12", "p13", "p14", \
        "p15"

#define SET_Z(n, step) "index z" #n ".h, %w[seed], #" #step "\n"
// Every Z takes a value of its own that depends on `seed`.
#define SET_ALL_Z                                                                                  \
    SET_Z(1, -15)                                                                                  \
    SET_Z(2, -14)                                                                                  \
    SET_Z(3, -13) SET_Z(4, -12) SET_Z(5, -11) SET_Z(6, -10) SET_Z(7, -9) SET_Z(8, -8) SET_Z(9, -7) \
        SET_Z(10, -6) SET_Z(11, -5) SET_Z(12, -4) SET_Z(13, -3) SET_Z(14, -2) SET_Z(15, -1)        \
            SET_Z(16, 0) SET_Z(17, 1) SET_Z(18, 2) SET_Z(19, 3) SET_Z(20, 4) SET_Z(21, 5)          \
                SET_Z(22, 6) SET_Z(23, 7) SET_Z(24, 8) SET_Z(25, 9) SET_Z(26, 10) SET_Z(27, 11)    \
                    SET_Z(28, 12) SET_Z(29, 13) SET_Z(30, 14)                                      \
                        SET_Z(31, 15) "index z0.s, %w[seed], #3\n"
// Every P and the FFR take a pattern of their own.
#define SET_ALL_P                                                                                  \
    "ptrue p0.b, vl1\n ptrue p1.h, vl2\n ptrue p2.s, vl3\n ptrue p3.d, vl4\n ptrue p4.b, vl5\n"    \
    "ptrue p5.h, vl6\n ptrue p6.s, vl7\n ptrue p7.d, vl8\n ptrue p8.b, vl16\n ptrue p9.h, vl32\n"  \
    "ptrue p10.s, mul3\n ptrue p11.d, mul4\n ptrue p12.b, pow2\n ptrue p13.h\n pfalse p14.b\n"     \
    "ptrue p15.b, vl64\n wrffr p9.b\n"
#define SET_ALL_STATE SET_ALL_Z SET_ALL_P
#define STORE_Z(n) "str z" #n ", [%[out], #" #n ", mul vl]\n"
#define STORE_Z8(a)                                                                                \
    STORE_Z(a##0)                                                                                  \
    STORE_Z(a##1)                                                                                  \
    STORE_Z(a##2) STORE_Z(a##3) STORE_Z(a##4) STORE_Z(a##5) STORE_Z(a##6) STORE_Z(a##7)
#define STORE_P(n) "str p" #n ", [%[preds], #" #n ", mul vl]\n"
// Z0-Z31 to out[0..6144), P0-P15 and then the FFR to preds[0..408).
#define STORE_ALL_STATE                                                                            \
    STORE_Z(0)                                                                                     \
    STORE_Z(1)                                                                                     \
    STORE_Z(2) STORE_Z(3) STORE_Z(4) STORE_Z(5) STORE_Z(6) STORE_Z(7) STORE_Z(8) STORE_Z(9)        \
        STORE_Z8(1) STORE_Z8(2) STORE_Z(30) STORE_Z(31) STORE_P(0) STORE_P(1) STORE_P(2)           \
            STORE_P(3) STORE_P(4) STORE_P(5) STORE_P(6) STORE_P(7) STORE_P(8) STORE_P(9)           \
                STORE_P(10) STORE_P(11) STORE_P(12) STORE_P(13) STORE_P(14)                        \
                    STORE_P(15) "rdffr p0.b\n str p0, [%[preds], #16, mul vl]\n"

#define ALL_P_TRUE                                                                                 \
    "ptrue p0.b\n ptrue p1.b\n ptrue p2.b\n ptrue p3.b\n ptrue p4.b\n ptrue p5.b\n ptrue p6.b\n"   \
    "ptrue p7.b\n ptrue p8.b\n ptrue p9.b\n ptrue p10.b\n ptrue p11.b\n ptrue p12.b\n ptrue "      \
    "p13.b\n"                                                                                      \
    "ptrue p14.b\n ptrue p15.b\n setffr\n"

static uint64_t hash(const unsigned char *bytes, size_t n) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ bytes[i]) * 1099511628211ull;
    return h;
}

// Sets every Z, P and FFR, sends `sig` to this thread, and returns a hash of all of them after
// the handler: the same as without the signal when the handler preserved them.
static uint64_t state_across(int sig, uint32_t seed) {
    static __thread unsigned char saved[kRegisterBytes];
    asm volatile(SET_ALL_STATE RAISE_IN_ASM STORE_ALL_STATE
                 :
                 : [seed] "r"(seed), [out] "r"(saved), [preds] "r"(saved + 32 * 192), RAISE_OPERANDS
                 : "x0", "x1", "x2", "x8", "memory", Z_CLOBBERS, P_CLOBBERS, "ffr");
    return hash(saved, sizeof saved);
}

// Overwrites every Z, P and FFR, then checks a small SVE sum of its own (1 + 2 + ... + 48).
static void clobber_and_check(void) {
    uint64_t sum;
    asm volatile(SET_ALL_Z ALL_P_TRUE
                 "index z7.s, #1, #1\n ptrue p7.s\n uaddv d7, p7, z7.s\n fmov %[sum], d7\n"
                 : [sum] "=r"(sum)
                 : [seed] "r"(0x5a5a5a5a)
                 : Z_CLOBBERS, P_CLOBBERS, "ffr");
    if (sum != 1176) handler_bad = handler_bad + 1;
}

// Sums 3 * data[i] over a WHILELO loop into two accumulators (the second only on the lanes of a
// fixed predicate), with the FFR set before the loop and read after it.
static uint64_t vector_pass(uint32_t offset) {
    uint64_t sum0, sum1, ffr_count;
    const uint64_t n = kElements - offset;
    asm volatile("ptrue p1.s, vl7\n ptrue p2.b, vl5\n wrffr p2.b\n mov z0.d, #0\n mov z1.d, #0\n"
                 "dup z2.s, #3\n mov x9, #0\n whilelo p0.s, x9, %[n]\n"
                 "1: ld1w z3.s, p0/z, [%[a], x9, lsl #2]\n mul z3.s, p0/m, z3.s, z2.s\n"
                 "add z0.s, p0/m, z0.s, z3.s\n and p3.b, p0/z, p1.b, p1.b\n"
                 "add z1.s, p3/m, z1.s, z3.s\n incw x9\n whilelo p0.s, x9, %[n]\n b.first 1b\n"
                 "ptrue p4.s\n uaddv d0, p4, z0.s\n fmov %[s0], d0\n uaddv d1, p4, z1.s\n"
                 "fmov %[s1], d1\n rdffr p5.b\n ptrue p6.b\n cntp %[f], p6, p5.b\n"
                 : [s0] "=r"(sum0), [s1] "=r"(sum1), [f] "=r"(ffr_count)
                 : [a] "r"(data + offset), [n] "r"(n)
                 : "x9", "cc", "memory", "z0", "z1", "z2", "z3", "p0", "p1", "p2", "p3", "p4", "p5",
                   "p6", "ffr");
    return sum0 * 1000003 + sum1 * 31 + ffr_count;
}

static void on_usr1(int sig) {
    (void)sig;
    hits = hits + 1;
    clobber_and_check();
}

// The timer's handler: now and then a nested signal in the middle of its own SVE state (kept
// rare, so that the handler stays short of the timer's period under a slow emulator), then a
// signal to each thread, then it clobbers everything. The threads are signalled by tgkill, not
// pthread_kill: pthread_kill blocks every signal around a lock of its own, and under DynamoRIO a
// handler that changes the mask may get the next SIGALRM delivered inside itself although it is
// blocked there; the nested handler then waits forever on the lock its interrupted self holds.
static void on_alarm(int sig) {
    (void)sig;
    static uint64_t expected;
    if (!expected) expected = state_across(0, 77);
    if (hits % 8 == 0 && state_across(SIGUSR1, 77) != expected) handler_bad = handler_bad + 1;
    hits = hits + 1;
    for (int t = 0; t < worker_count; ++t)
        syscall(SYS_tgkill, getpid(), worker_tids[t], SIGUSR1);
    clobber_and_check();
}

// Repeats vector_pass until this thread was interrupted often enough; returns the mismatches.
static int run_passes(uint32_t offset, uint64_t *checksum) {
    *checksum = vector_pass(offset);
    int bad = 0;
    for (int round = 0; round < 3 || hits < kHitsWanted; ++round)
        if (vector_pass(offset) != *checksum) ++bad;
    return bad;
}

typedef struct {
    uint64_t checksum;
    int bad;
} pass_result;
static pass_result worker_results[2];
static volatile int workers_done;

static void *worker(void *arg) {
    const int t = (int)(uintptr_t)arg;
    worker_tids[t] = (pid_t)syscall(SYS_gettid);
    worker_results[t].bad = run_passes((uint32_t)t + 1, &worker_results[t].checksum);
    __atomic_add_fetch(&workers_done, 1, __ATOMIC_SEQ_CST);
    return NULL;
}

static void install(int sig, void (*handler)(int)) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigaction(sig, &action, NULL);
}

static void start_timer(void) {
    struct itimerval every_2ms = {{0, 2000}, {0, 2000}};
    setitimer(ITIMER_REAL, &every_2ms, NULL);
}

static void stop_timer(void) {
    struct itimerval off = {{0, 0}, {0, 0}};
    setitimer(ITIMER_REAL, &off, NULL);
}

static int timer_run(void) {
    install(SIGALRM, on_alarm);
    install(SIGUSR1, on_usr1);
    printf("state across a handler: %llu\n", (unsigned long long)state_across(0, 5));
    fflush(stdout);

    const pid_t child = fork();
    if (child == 0) {
        start_timer();
        uint64_t checksum;
        const int bad = run_passes(7, &checksum);
        stop_timer();
        printf("child: checksum %llu, mismatching passes %d, handler errors %d\n",
               (unsigned long long)checksum, bad, (int)handler_bad);
        fflush(stdout);
        _exit(0);
    }
    int status;
    waitpid(child, &status, 0);
    printf("child exit status %d\n", status);
    fflush(stdout);

    // The threads exist before the timer starts, so that its handler can reach them; they are
    // joined only once the handler no longer signals them.
    for (int t = 0; t < 2; ++t)
        pthread_create(&workers[t], NULL, worker, (void *)(uintptr_t)t);
    while (!worker_tids[0] || !worker_tids[1])
        usleep(100);
    worker_count = 2;
    start_timer();
    uint64_t checksum;
    const int bad = run_passes(0, &checksum);
    while (workers_done < 2)
        usleep(1000);
    stop_timer();
    worker_count = 0;
    for (int t = 0; t < 2; ++t) {
        pthread_join(workers[t], NULL);
        printf("thread %d: checksum %llu, mismatching passes %d\n", t + 1,
               (unsigned long long)worker_results[t].checksum, worker_results[t].bad);
    }
    printf("main: checksum %llu, mismatching passes %d, handler errors %d\n",
           (unsigned long long)checksum, bad, (int)handler_bad);
    printf("state across a handler: %llu\n", (unsigned long long)state_across(SIGUSR1, 5));
    return 0;
}

static sigjmp_buf *jump_target;

static void on_usr2_jump(int sig) {
    (void)sig;
    clobber_and_check();
    siglongjmp(*jump_target, 1);
}

// A handler that returns normally after a handler nested in it left by siglongjmp.
static void on_usr1_outer(int sig) {
    (void)sig;
    sigjmp_buf inner;
    sigjmp_buf *outer = jump_target;
    jump_target = &inner;
    if (!sigsetjmp(inner, 1)) state_across(SIGUSR2, 9);
    jump_target = outer;
    clobber_and_check();
}

static int longjmp_run(void) {
    install(SIGUSR2, on_usr2_jump);
    install(SIGUSR1, on_usr1);
    const uint64_t quiet = state_across(0, 3);
    sigjmp_buf env;
    jump_target = &env;
    int jumps = 0;
    // More jumps than a front end may keep saves for a thread: none of them may come back.
    for (int i = 0; i < 100; ++i)
        if (sigsetjmp(env, 1) == 0)
            state_across(SIGUSR2, 4);
        else
            ++jumps;
    printf("jumps out of handlers: %d\n", jumps);
    printf("then a handler that returns keeps the state: %d\n", state_across(SIGUSR1, 3) == quiet);
    install(SIGUSR1, on_usr1_outer);
    printf("across a handler left from inside: %d\n", state_across(SIGUSR1, 3) == quiet);
    printf("more SVE work: %llu, handler errors %d\n", (unsigned long long)vector_pass(11),
           (int)handler_bad);
    return 0;
}

int main(int argc, char **argv) {
    for (int i = 0; i < kElements; ++i)
        data[i] = (uint32_t)(i * 2654435761u >> 7);
    if (argc > 1 && strcmp(argv[1], "longjmp") == 0) return longjmp_run();
    return timer_run();
}
