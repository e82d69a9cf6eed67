// Plain C loops that the compiler vectorises for SVE on its own (built with -O3 -funroll-loops):
// what a user's program looks like, not intrinsics. Prints one checksum per thread.
//   vectorised_loops           runs the loops once, on the main thread
//   vectorised_loops threads   runs them on 8 threads at once, each on its own arrays
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

enum { kLength = 1000, kThreads = 8, kRounds = 20 };

typedef struct {
    int32_t a[kLength], b[kLength], c[kLength];
    int16_t h[kLength];
    uint8_t bytes[kLength];
    uint32_t seed;
    uint64_t checksum;
} work;

static void scale_add(int32_t *restrict c, const int32_t *restrict a, const int32_t *restrict b,
                      int n, int32_t k) {
    for (int i = 0; i < n; ++i)
        c[i] = a[i] * k + b[i];
}

static void clamp_difference(int32_t *restrict c, const int32_t *restrict a,
                             const int32_t *restrict b, int n) {
    for (int i = 0; i < n; ++i)
        c[i] = a[i] > b[i] ? a[i] - b[i] : (b[i] >> 3);
}

static int64_t widening_sum(const int32_t *a, int n) {
    int64_t sum = 0;
    for (int i = 0; i < n; ++i)
        sum += a[i];
    return sum;
}

static int16_t maximum(const int16_t *h, int n) {
    int16_t best = INT16_MIN;
    for (int i = 0; i < n; ++i)
        best = h[i] > best ? h[i] : best;
    return best;
}

static uint32_t byte_xor(const uint8_t *bytes, int n) {
    uint8_t x = 0;
    for (int i = 0; i < n; ++i)
        x ^= (uint8_t)(bytes[i] + 3);
    return x;
}

static void narrow(int16_t *restrict h, const int32_t *restrict c, int n) {
    for (int i = 0; i < n; ++i)
        h[i] = (int16_t)(c[i] >> 4);
}

static void fill(work *w) {
    uint32_t x = w->seed;
    for (int i = 0; i < kLength; ++i) {
        x = x * 1664525u + 1013904223u;
        w->a[i] = (int32_t)(x >> 8) - (1 << 23);
        w->b[i] = (int32_t)(x ^ (x >> 13)) >> 9;
        w->h[i] = (int16_t)(x >> 16);
        w->bytes[i] = (uint8_t)(x >> 5);
    }
}

static void *run(void *arg) {
    work *w = arg;
    fill(w);
    uint64_t sum = 0;
    for (int round = 0; round < kRounds; ++round) {
        // Odd lengths leave partial vectors at the end of every loop.
        const int n = kLength - 7 * round;
        scale_add(w->c, w->a, w->b, n, 3 + round);
        clamp_difference(w->a, w->c, w->b, n);
        narrow(w->h, w->a, n);
        sum = sum * 31 + (uint64_t)widening_sum(w->a, n);
        sum = sum * 31 + (uint16_t)maximum(w->h, n);
        sum = sum * 31 + byte_xor(w->bytes, n);
        memcpy(w->b, w->c, sizeof w->b);
    }
    w->checksum = sum;
    return NULL;
}

static work works[kThreads];

int main(int argc, char **argv) {
    const int threads = argc > 1 && strcmp(argv[1], "threads") == 0 ? kThreads : 1;
    pthread_t ids[kThreads];
    for (int t = 0; t < threads; ++t) {
        works[t].seed = 12345u + 977u * (uint32_t)t;
        if (threads == 1)
            run(&works[t]);
        else
            pthread_create(&ids[t], NULL, run, &works[t]);
    }
    for (int t = 0; t < threads && threads > 1; ++t)
        pthread_join(ids[t], NULL);
    for (int t = 0; t < threads; ++t)
        printf("thread %d: %016llx\n", t, (unsigned long long)works[t].checksum);
    return 0;
}
