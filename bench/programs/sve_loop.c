/* A long-running SVE loop for timing the front ends: ROUNDS passes of a WHILELO-controlled
 * multiply-add over 4096 32-bit elements. Each loop iteration handles 48 elements with six SVE
 * instructions (WHILELO, three LD1W, MLA, ST1W) and a few scalar ones. Prints the number of loop
 * iterations, so a timing can be turned into a cost per iteration. */
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

enum { N = 4096 };

int main(int argc, char **argv) {
    const long rounds = argc > 1 ? atol(argv[1]) : 100;
    static int32_t a[N], b[N], c[N];
    for (int i = 0; i < N; ++i) {
        a[i] = i;
        b[i] = 3 - i;
    }
    unsigned long long iterations = 0;
    for (long r = 0; r < rounds; ++r) {
        for (uint64_t i = 0; i < N; i += svcntw()) {
            svbool_t active = svwhilelt_b32_u64(i, N);
            svint32_t x = svld1_s32(active, a + i);
            svint32_t y = svld1_s32(active, b + i);
            svst1_s32(active, c + i, svmla_s32_m(active, svld1_s32(active, c + i), x, y));
            ++iterations;
        }
    }
    long long checksum = 0;
    for (int i = 0; i < N; ++i) checksum += c[i];
    printf("loop iterations: %llu\nchecksum: %lld\n", iterations, checksum);
    return 0;
}
