// Loops written for any vector length, as SVE code should be: everything this prints is the same
// at every length. An integer sum and a floating-point sum over arrays whose sizes fall on and
// between vector boundaries, a strlen that reads ahead with first-fault loads up to an unmapped
// page, and an in-place ASCII upper-casing whose last vector is partly inactive.
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

static int64_t sum_words(const int32_t *a, uint64_t n) {
    svint32_t acc = svdup_s32(0);
    for (uint64_t i = 0; i < n; i += svcntw()) {
        svbool_t active = svwhilelt_b32_u64(i, n);
        acc = svadd_s32_m(active, acc, svld1_s32(active, a + i));
    }
    return svaddv_s32(svptrue_b32(), acc);
}

// Small whole numbers add exactly in any order, so the tree order of FADDV cannot show.
static float sum_floats(const float *a, uint64_t n) {
    svfloat32_t acc = svdup_f32(0.0f);
    for (uint64_t i = 0; i < n; i += svcntw()) {
        svbool_t active = svwhilelt_b32_u64(i, n);
        acc = svadd_f32_m(active, acc, svld1_f32(active, a + i));
    }
    return svaddv_f32(svptrue_b32(), acc);
}

// Reads a whole vector at a time, past the terminator: the first-fault load stops short of a page
// it cannot read, and the loop goes on from the first byte it did not get.
static uint64_t length_of(const char *s) {
    const uint8_t *bytes = (const uint8_t *)s;
    const svbool_t all = svptrue_b8();
    for (uint64_t i = 0;;) {
        svsetffr();
        svuint8_t chunk = svldff1_u8(all, bytes + i);
        svbool_t loaded = svrdffr_z(all);
        svbool_t nul = svcmpeq_n_u8(loaded, chunk, 0);
        if (svptest_any(loaded, nul)) return i + svcntp_b8(loaded, svbrkb_b_z(loaded, nul));
        i += svcntp_b8(all, loaded);
    }
}

static void to_upper(char *s, uint64_t n) {
    uint8_t *bytes = (uint8_t *)s;
    for (uint64_t i = 0; i < n; i += svcntb()) {
        svbool_t active = svwhilelt_b8_u64(i, n);
        svuint8_t c = svld1_u8(active, bytes + i);
        svbool_t lower = svcmple_n_u8(active, svsub_n_u8_x(active, c, 'a'), 'z' - 'a');
        svst1_u8(active, bytes + i, svsub_n_u8_m(lower, c, 'a' - 'A'));
    }
}

int main(void) {
    enum { N = 1031 };
    static int32_t words[N];
    static float floats[N];
    for (int i = 0; i < N; ++i) {
        words[i] = (i * 7919) % 2001 - 1000;
        floats[i] = (float)(i % 13) - 6.0f;
    }
    // Sizes below, on and just past 128-bit to 2048-bit vectors of words.
    const uint64_t sizes[] = {0, 1, 3, 4, 5, 12, 16, 17, 48, 63, 64, 65, 100, 1000, N};
    for (unsigned k = 0; k < sizeof sizes / sizeof sizes[0]; ++k)
        printf("sum of %4llu words: %lld, of %4llu floats: %.1f\n", (unsigned long long)sizes[k],
               (long long)sum_words(words, sizes[k]), (unsigned long long)sizes[k],
               (double)sum_floats(floats, sizes[k]));

    // Each string ends on the last byte before an inaccessible page.
    const long page = sysconf(_SC_PAGESIZE);
    char *area = mmap(NULL, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED || mprotect(area + page, page, PROT_NONE) != 0) {
        perror("mmap");
        return 1;
    }
    const uint64_t lengths[] = {0, 1, 15, 16, 17, 31, 32, 100, 255, 256, 257, 1000};
    for (unsigned k = 0; k < sizeof lengths / sizeof lengths[0]; ++k) {
        char *s = area + page - 1 - lengths[k];
        memset(s, 'x', lengths[k]);
        s[lengths[k]] = '\0';
        printf("strlen %4llu: %llu\n", (unsigned long long)lengths[k],
               (unsigned long long)length_of(s));
    }

    char text[] = "The quick brown fox jumps over the lazy dog; {~`@[ stay as they are} "
                  "0123456789 and the rest is upper case now, whatever the vector length.";
    to_upper(text, strlen(text));
    printf("%s\n", text);
    return 0;
}
