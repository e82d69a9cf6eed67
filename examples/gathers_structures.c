// Indexed and structured data with SVE: a table lookup through a gather, a scatter into a
// permuted array, pairs de-interleaved and re-interleaved with LD2/ST2, RGB pixels turned grey
// with LD3, and a strlen that reads ahead with first-fault loads up to an unmapped page, with a
// non-fault load next to the same page.
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

enum { N = 301 };

// out[i] = table[index[i]]: LD1W (gather, 32-bit unsigned offsets scaled by 4).
static void lookup(uint32_t *out, const uint32_t *table, const uint32_t *index, int n) {
    for (int i = 0; i < n; i += (int)svcntw()) {
        svbool_t pg = svwhilelt_b32_s32(i, n);
        svuint32_t idx = svld1_u32(pg, index + i);
        svst1_u32(pg, out + i, svld1_gather_u32index_u32(pg, table, idx));
    }
}

// out[perm[i]] = in[i] * 3: ST1D (scatter, 64-bit offsets scaled by 8).
static void scatter(uint64_t *out, const uint64_t *in, const uint64_t *perm, int n) {
    for (int i = 0; i < n; i += (int)svcntd()) {
        svbool_t pg = svwhilelt_b64_s32(i, n);
        svuint64_t v = svmul_n_u64_x(pg, svld1_u64(pg, in + i), 3);
        svst1_scatter_u64index_u64(pg, out, svld1_u64(pg, perm + i), v);
    }
}

// Pairs (a, b) become (a + b, a - b): LD2W and ST2W.
static void butterflies(int32_t *pairs, int n_pairs) {
    for (int i = 0; i < n_pairs; i += (int)svcntw()) {
        svbool_t pg = svwhilelt_b32_s32(i, n_pairs);
        svint32x2_t ab = svld2_s32(pg, pairs + 2 * i);
        svint32_t a = svget2_s32(ab, 0), b = svget2_s32(ab, 1);
        svst2_s32(pg, pairs + 2 * i, svcreate2_s32(svadd_s32_x(pg, a, b), svsub_s32_x(pg, a, b)));
    }
}

// grey = r/4 + g/2 + b/4 over packed RGB bytes: LD3B.
static void grey(uint8_t *out, const uint8_t *rgb, int pixels) {
    for (int i = 0; i < pixels; i += (int)svcntb()) {
        svbool_t pg = svwhilelt_b8_s32(i, pixels);
        svuint8x3_t px = svld3_u8(pg, rgb + 3 * i);
        svuint8_t r = svget3_u8(px, 0), g = svget3_u8(px, 1), b = svget3_u8(px, 2);
        svuint8_t sum = svadd_u8_x(pg, svlsr_n_u8_x(pg, r, 2), svlsr_n_u8_x(pg, b, 2));
        sum = svadd_u8_x(pg, sum, svlsr_n_u8_x(pg, g, 1));
        svst1_u8(pg, out + i, sum);
    }
}

// strlen that loads whole vectors ahead: LDFF1B, RDFFR and a compare; the loads may run past
// the string's end into an unmapped page, which only clears FFR bits.
static size_t sve_strlen(const char *s) {
    size_t len = 0;
    const svbool_t all = svptrue_b8();
    for (;;) {
        svsetffr();
        svuint8_t bytes = svldff1_u8(all, (const uint8_t *)s + len);
        svbool_t loaded = svrdffr();
        svbool_t zero = svcmpeq_n_u8(loaded, bytes, 0);
        if (svptest_any(loaded, zero)) {
            return len + svcntp_b8(loaded, svbrkb_b_z(loaded, zero));
        }
        len += svcntp_b8(all, loaded);
    }
}

int main(void) {
    static uint32_t table[1024], index[N], looked_up[N];
    static uint64_t in[N], perm[N], scattered[N];
    static int32_t pairs[2 * N];
    static uint8_t rgb[3 * N], grey_out[N];
    for (int i = 0; i < 1024; ++i)
        table[i] = (uint32_t)(i * i * 7 + 13);
    for (int i = 0; i < N; ++i) {
        index[i] = (uint32_t)((i * 389) % 1024);
        in[i] = (uint64_t)i * 1000003u;
        perm[i] = (uint64_t)((i * 97) % N); // 97 and 301 are coprime: a permutation
        pairs[2 * i] = i * 5 - 700;
        pairs[2 * i + 1] = 3 - i;
        rgb[3 * i] = (uint8_t)(i * 3);
        rgb[3 * i + 1] = (uint8_t)(i * 5 + 1);
        rgb[3 * i + 2] = (uint8_t)(255 - i);
    }
    lookup(looked_up, table, index, N);
    scatter(scattered, in, perm, N);
    butterflies(pairs, N);
    grey(grey_out, rgb, N);
    uint64_t sum = 0;
    for (int i = 0; i < N; ++i)
        sum = sum * 31 + looked_up[i] + scattered[i] + (uint32_t)pairs[2 * i] +
              (uint32_t)pairs[2 * i + 1] + grey_out[i];
    printf("gather: table[index[100]] = %u\n", looked_up[100]);
    printf("scatter: out[perm[7]] = %llu\n", (unsigned long long)scattered[perm[7]]);
    printf("structures: pair 10 = (%d, %d), grey[50] = %u\n", pairs[20], pairs[21], grey_out[50]);
    printf("checksum: %016llx\n", (unsigned long long)sum);

    // Strings whose terminating zero is the last byte before an unmapped page.
    const long page = sysconf(_SC_PAGESIZE);
    char *area = mmap(NULL, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    munmap(area + page, page);
    for (int len = 0; len <= 300; len += 100) {
        char *s = area + page - 1 - len;
        memset(area, 'x', page);
        s[len] = '\0';
        printf("strlen by first-fault loads: %zu (libc: %zu)\n", sve_strlen(s), strlen(s));
    }
    // A non-fault load of the last 40 bytes before the hole: FFR shows how far it got.
    svsetffr();
    svuint8_t tail = svldnf1_u8(svptrue_b8(), (const uint8_t *)area + page - 40);
    svbool_t loaded = svrdffr();
    printf("non-fault load next to the hole: %llu bytes loaded, sum %llu\n",
           (unsigned long long)svcntp_b8(svptrue_b8(), loaded),
           (unsigned long long)svaddv_u8(loaded, tail));
    return 0;
}
