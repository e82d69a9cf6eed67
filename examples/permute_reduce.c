// Permutes, reductions and element counts: reverses and interleaves vectors, looks values up
// with TBL, compacts the active elements, and reduces with ADDV and MAXV.
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>

static void print_vector(const char *name, svint32_t v) {
    int32_t out[64];
    svst1_s32(svptrue_b32(), out, v);
    long long hash = 0;
    for (uint64_t i = 0; i < svcntw(); ++i)
        hash = hash * 31 + out[i];
    printf("%s: first=%d last=%d hash=%lld\n", name, out[0], out[svcntw() - 1], hash);
}

int main(void) {
    static int32_t data[200];
    for (int i = 0; i < 200; ++i)
        data[i] = (i * 37) % 101 - 50;

    int64_t sum = 0;
    int32_t max = INT32_MIN;
    uint64_t positives = 0;
    for (uint64_t i = 0; i < 200; i += svcntw()) {
        svbool_t active = svwhilelt_b32_u64(i, 200);
        svint32_t v = svld1_s32(active, data + i);
        sum += svaddv_s32(active, v);
        max = svmaxv_s32(active, v) > max ? svmaxv_s32(active, v) : max;
        positives += svcntp_b32(active, svcmpgt_n_s32(active, v, 0));
    }
    printf("sum=%lld max=%d positives=%llu\n", (long long)sum, max, (unsigned long long)positives);

    svbool_t all = svptrue_b32();
    svint32_t first = svld1_s32(all, data);
    svint32_t reversed = svrev_s32(first);
    svint32_t zipped = svzip1_s32(first, reversed);
    svint32_t odd = svuzp2_s32(first, reversed);
    svuint32_t indices = svindex_u32(3, 5); // 3, 8, 13, ...: some beyond the vector give 0
    svint32_t looked_up = svtbl_s32(first, indices);
    svint32_t compacted = svcompact_s32(svcmplt_n_s32(all, first, 0), first);
    svint32_t shifted = svext_s32(first, reversed, 5);

    print_vector("rev", reversed);
    print_vector("zip1", zipped);
    print_vector("uzp2", odd);
    print_vector("tbl", looked_up);
    print_vector("compact", compacted);
    print_vector("ext", shifted);
    printf("lastb=%d elements=%llu\n", svlastb_s32(svwhilelt_b32_u64(0, 7), first),
           (unsigned long long)svcntw());
    return 0;
}
