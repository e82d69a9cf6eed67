// Adds two integer arrays with an SVE loop controlled by WHILELO: the predicate covers the tail,
// so there is no scalar remainder loop.
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>

static void add_arrays(int32_t *dst, const int32_t *a, const int32_t *b, uint64_t n) {
    for (uint64_t i = 0; i < n; i += svcntw()) {
        svbool_t active = svwhilelt_b32_u64(i, n);
        svint32_t sum = svadd_s32_m(active, svld1_s32(active, a + i), svld1_s32(active, b + i));
        svst1_s32(active, dst + i, sum);
    }
}

int main(void) {
    enum { N = 1000 };
    static int32_t a[N], b[N], c[N];
    for (int i = 0; i < N; ++i) {
        a[i] = i * 3 - 500;
        b[i] = 7 - i * i;
    }
    add_arrays(c, a, b, N);
    long long checksum = 0;
    for (int i = 0; i < N; ++i)
        checksum += (long long)c[i] * (i + 1);
    printf("vector length: %u bits\n", (unsigned)svcntb() * 8);
    printf("c[0]=%d c[1]=%d c[%d]=%d\n", c[0], c[1], N - 1, c[N - 1]);
    printf("checksum: %lld\n", checksum);
    return 0;
}
