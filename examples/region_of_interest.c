// Brackets a region of interest with the start and stop markers, so that a traced run records the
// loads and stores of the loop between them and nothing else.
#include <arm_sve.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <ucontext.h>

// ADD Z0.B, Z0.B, #1, LSL #8 and #2, LSL #8: they leave Z0 unchanged. Assemblers refuse the shift
// on byte elements, hence the raw words.
#define ROI_START() __asm__ volatile(".inst 0x2520e020" ::: "memory")
#define ROI_STOP() __asm__ volatile(".inst 0x2520e040" ::: "memory")

// The marker encodings are unallocated on SVE hardware (byte elements take no shifted immediate):
// there they raise SIGILL, which this handler skips so the program runs alike with and without
// the emulator. Under the emulator they never reach it.
static void skip_markers(int sig, siginfo_t *info, void *context) {
    (void)info;
    ucontext_t *uc = context;
    uint32_t word;
    memcpy(&word, (const void *)uc->uc_mcontext.pc, sizeof word);
    if ((word & ~31u) == 0x2520e020u || (word & ~31u) == 0x2520e040u) {
        uc->uc_mcontext.pc += 4;
        return;
    }
    signal(sig, SIG_DFL);
}

static uint64_t sum_words(const uint32_t *data, uint64_t n) {
    svuint64_t total = svdup_n_u64(0);
    for (uint64_t i = 0; i < n; i += svcntd()) {
        svbool_t active = svwhilelt_b64_u64(i, n);
        total = svadd_u64_m(active, total, svld1uw_u64(active, data + i));
    }
    // Lanes summed in scalar code, so the traced region shows the loop's loads and one store.
    uint64_t lanes[32];
    svst1_u64(svptrue_b64(), lanes, total);
    uint64_t sum = 0;
    for (uint64_t i = 0; i < svcntd(); ++i)
        sum += lanes[i];
    return sum;
}

int main(void) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_sigaction = skip_markers;
    action.sa_flags = SA_SIGINFO;
    sigaction(SIGILL, &action, NULL);

    static uint32_t data[100];
    for (unsigned i = 0; i < 100; ++i)
        data[i] = i * i;
    uint64_t before = sum_words(data, 10); // not traced
    ROI_START();
    uint64_t traced = sum_words(data, 100);
    ROI_STOP();
    printf("before=%llu traced=%llu\n", (unsigned long long)before, (unsigned long long)traced);
    return 0;
}
