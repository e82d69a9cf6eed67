// Straight-line blocks of 1, 50, 500 and 2,000 consecutive SVE instructions, each run often enough
// for DynamoRIO to build traces from them. A front end that cannot take a block of any length, or
// that splits one wrongly, changes a checksum. Last, a native load faults in the middle of a long
// block: the program's own handler must see the load's address (the framework rebuilds the block
// to find it) and the block goes on after it.
#include <arm_sve.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <ucontext.h>

// Four vectors of 32-bit lanes, room for the longest vector.
typedef struct {
    uint32_t lanes[4][64];
} vectors;

// Five instructions that feed each other, so that every one of them reaches the checksum.
#define GROUP                                                                                      \
    "add %0.s, %0.s, %1.s\n"                                                                       \
    "mul %1.s, %4/m, %1.s, %2.s\n"                                                                 \
    "eor %2.d, %2.d, %0.d\n"                                                                       \
    "lsr %3.s, %2.s, #7\n"                                                                         \
    "add %1.s, %1.s, %3.s\n"

#define BLOCK(name, body)                                                                          \
    static void name(vectors *v, svbool_t pg) {                                                    \
        const svbool_t all = svptrue_b32();                                                        \
        svuint32_t a = svld1_u32(all, v->lanes[0]), b = svld1_u32(all, v->lanes[1]);               \
        svuint32_t c = svld1_u32(all, v->lanes[2]), d = svld1_u32(all, v->lanes[3]);               \
        __asm__ volatile(body : "+w"(a), "+w"(b), "+w"(c), "+w"(d) : "Upl"(pg));                   \
        svst1_u32(all, v->lanes[0], a);                                                            \
        svst1_u32(all, v->lanes[1], b);                                                            \
        svst1_u32(all, v->lanes[2], c);                                                            \
        svst1_u32(all, v->lanes[3], d);                                                            \
    }

BLOCK(block_1, "add %0.s, %0.s, %1.s\n")
BLOCK(block_50, ".rept 10\n" GROUP ".endr\n")
BLOCK(block_500, ".rept 100\n" GROUP ".endr\n")
BLOCK(block_2000, ".rept 400\n" GROUP ".endr\n")

// 30 SVE instructions, a load from an unreadable page, 30 more.
extern const char faulting_load[];
static volatile uint64_t *unreadable;
static void __attribute__((noinline)) block_with_fault(vectors *v, svbool_t pg) {
    const svbool_t all = svptrue_b32();
    svuint32_t a = svld1_u32(all, v->lanes[0]), b = svld1_u32(all, v->lanes[1]);
    svuint32_t c = svld1_u32(all, v->lanes[2]), d = svld1_u32(all, v->lanes[3]);
    __asm__ volatile(".rept 6\n" GROUP ".endr\n"
                     ".global faulting_load\n"
                     "faulting_load: ldr x9, [%5]\n"
                     ".rept 6\n" GROUP ".endr\n"
                     : "+w"(a), "+w"(b), "+w"(c), "+w"(d)
                     : "Upl"(pg), "r"(unreadable)
                     : "x9");
    svst1_u32(all, v->lanes[0], a);
    svst1_u32(all, v->lanes[1], b);
    svst1_u32(all, v->lanes[2], c);
    svst1_u32(all, v->lanes[3], d);
}

static volatile int faults, faults_at_the_load;

static void skip_faulting_load(int sig, siginfo_t *info, void *context) {
    (void)sig;
    (void)info;
    ucontext_t *uc = context;
    ++faults;
    if (uc->uc_mcontext.pc == (uintptr_t)faulting_load) ++faults_at_the_load;
    uc->uc_mcontext.pc += 4;
}

static uint64_t run(const char *name, void (*block)(vectors *, svbool_t), int times) {
    vectors v;
    const uint32_t lanes = (uint32_t)svcntw();
    for (uint32_t r = 0; r < 4; ++r)
        for (uint32_t i = 0; i < lanes; ++i)
            v.lanes[r][i] = (r * 7919u + i * 104729u) ^ (i << (r + 3));
    // Every third lane is inactive for the predicated multiply, on two calls out of three.
    const svbool_t some = svcmpne_n_u32(svptrue_b32(), svindex_u32(0, 1), 0);
    for (int i = 0; i < times; ++i)
        block(&v, i % 3 == 0 ? svptrue_b32() : some);
    uint64_t sum = 0;
    for (uint32_t r = 0; r < 4; ++r)
        for (uint32_t i = 0; i < lanes; ++i)
            sum = sum * 1000003u + v.lanes[r][i];
    printf("%s x %d: %016llx\n", name, times, (unsigned long long)sum);
    return sum;
}

int main(void) {
    run("block of 1", block_1, 200);
    run("block of 50", block_50, 200);
    run("block of 500", block_500, 80);
    run("block of 2000", block_2000, 60);

    unreadable = mmap(NULL, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_sigaction = skip_faulting_load;
    action.sa_flags = SA_SIGINFO;
    sigaction(SIGSEGV, &action, NULL);
    run("block with a fault", block_with_fault, 60);
    printf("faults: %d, at the load: %d\n", faults, faults_at_the_load);
    return 0;
}
