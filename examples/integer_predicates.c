// Integer arithmetic, logical and shift operations under predicates: a saturating, clamped,
// bit-twiddled transform of an array, with break and count instructions steering the work.
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>

int main(void) {
    static int16_t data[300];
    for (int i = 0; i < 300; ++i)
        data[i] = (int16_t)((i * 7919) % 65536 - 32768);

    long long checksum = 0;
    uint64_t negatives = 0, before_first_big = 0;
    for (uint64_t i = 0; i < 300; i += svcnth()) {
        svbool_t active = svwhilelt_b16_u64(i, 300);
        svint16_t v = svld1_s16(active, data + i);
        svint16_t scaled = svqadd_s16(svmul_n_s16_x(active, v, 3), svdup_n_s16(1000));
        svint16_t clamped = svmax_n_s16_x(active, svmin_n_s16_x(active, scaled, 20000), -20000);
        svint16_t mixed = sveor_s16_x(active, svasr_n_s16_x(active, clamped, 3),
                                      svand_n_s16_x(active, svlsl_n_s16_x(active, v, 2), 0x0ff0));
        svbool_t negative = svcmplt_n_s16(active, mixed, 0);
        svint16_t chosen = svsel_s16(negative, svneg_s16_x(active, mixed), mixed);
        negatives += svcntp_b16(active, negative);
        // Elements before (and including) the first one above 2000.
        svbool_t upto_big = svbrka_b_z(active, svcmpgt_n_s16(active, chosen, 2000));
        before_first_big += svcntp_b16(active, upto_big);
        svint16_t bits = svreinterpret_s16_u16(svcnt_s16_x(active, chosen));
        checksum += svaddv_s16(active, svadd_s16_x(active, chosen, bits));
        svst1_s16(active, data + i, chosen);
    }
    long long stored = 0;
    for (int i = 0; i < 300; ++i)
        stored = stored * 3 + data[i];
    printf("negatives=%llu up-to-first-big=%llu checksum=%lld stored=%lld\n",
           (unsigned long long)negatives, (unsigned long long)before_first_big, checksum, stored);
    return 0;
}
