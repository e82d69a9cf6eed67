// A byte-wise fill and copy with SVE: the shape of memset and memcpy, predicated on the tail.
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>

static void fill(uint8_t *dst, uint8_t value, uint64_t n) {
    svuint8_t v = svdup_n_u8(value);
    for (uint64_t i = 0; i < n; i += svcntb())
        svst1_u8(svwhilelt_b8_u64(i, n), dst + i, v);
}

static void copy(uint8_t *dst, const uint8_t *src, uint64_t n) {
    for (uint64_t i = 0; i < n; i += svcntb()) {
        svbool_t active = svwhilelt_b8_u64(i, n);
        svst1_u8(active, dst + i, svld1_u8(active, src + i));
    }
}

int main(void) {
    static uint8_t a[777], b[777];
    fill(a, 0x5a, sizeof a);
    for (unsigned i = 0; i < sizeof a; i += 7)
        a[i] = (uint8_t)i;
    copy(b, a, 500);
    fill(b + 500, 0xee, sizeof b - 500);
    unsigned sum = 0;
    for (unsigned i = 0; i < sizeof b; ++i)
        sum = sum * 31 + b[i];
    printf("b[0]=%u b[7]=%u b[499]=%u b[500]=%u b[776]=%u\n", b[0], b[7], b[499], b[500], b[776]);
    printf("hash: %08x\n", sum);
    return 0;
}
