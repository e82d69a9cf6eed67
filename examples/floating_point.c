// Floating point the way numerical code writes it: a daxpy, a dot product reduced by the tree
// (FADDV) and in order (FADDA), a loop computed in half precision with conversions on either
// side, a complex multiply with FCMLA, and a loop that selects square roots or quotients by a
// compare. Results print as decimal and as bit patterns, so any difference shows.
#include <arm_sve.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#define N 301

static uint64_t bits_of(double d) {
    uint64_t b;
    memcpy(&b, &d, sizeof b);
    return b;
}

static uint64_t checksum(const double *v, int n) {
    uint64_t h = 0;
    for (int i = 0; i < n; ++i)
        h = h * 1000003u ^ bits_of(v[i]);
    return h;
}

static uint64_t checksum_f(const float *v, int n) {
    uint64_t h = 0;
    for (int i = 0; i < n; ++i) {
        uint32_t b;
        memcpy(&b, &v[i], sizeof b);
        h = h * 1000003u ^ b;
    }
    return h;
}

// y = a x + y
static void daxpy(double a, const double *x, double *y, int n) {
    for (int i = 0; i < n; i += (int)svcntd()) {
        svbool_t pg = svwhilelt_b64(i, n);
        svfloat64_t vy = svld1_f64(pg, y + i);
        vy = svmla_n_f64_m(pg, vy, svld1_f64(pg, x + i), a);
        svst1_f64(pg, y + i, vy);
    }
}

// The same dot product twice: per-vector tree sums (FADDV) added up, and one ordered sum (FADDA).
static void dot(const double *x, const double *y, int n, double *tree, double *ordered) {
    double t = 0.0, o = 0.0;
    for (int i = 0; i < n; i += (int)svcntd()) {
        svbool_t pg = svwhilelt_b64(i, n);
        svfloat64_t p = svmul_f64_x(pg, svld1_f64(pg, x + i), svld1_f64(pg, y + i));
        t += svaddv_f64(pg, p);
        o = svadda_f64(pg, o, p);
    }
    *tree = t;
    *ordered = o;
}

// out = (in * 0.75 + 1) * in, computed in half precision.
static void half_loop(const float *in, float *out, int n) {
    for (int i = 0; i < n; i += (int)svcntw()) {
        svbool_t pg = svwhilelt_b32(i, n);
        svfloat16_t h = svcvt_f16_f32_x(pg, svld1_f32(pg, in + i));
        svfloat16_t r = svmad_n_f16_x(pg, h, svdup_n_f16(0.75), 1.0);
        r = svmul_f16_x(pg, r, h);
        svst1_f32(pg, out + i, svcvt_f32_f16_x(pg, r));
    }
}

// c = a b on interleaved (real, imaginary) pairs: FCMLA by 0 and by 90 degrees.
static void complex_multiply(const float *a, const float *b, float *c, int pairs) {
    for (int i = 0; i < 2 * pairs; i += (int)svcntw()) {
        svbool_t pg = svwhilelt_b32(i, 2 * pairs);
        svfloat32_t va = svld1_f32(pg, a + i), vb = svld1_f32(pg, b + i);
        svfloat32_t acc = svdup_n_f32(0.0f);
        acc = svcmla_f32_x(pg, acc, va, vb, 0);
        acc = svcmla_f32_x(pg, acc, va, vb, 90);
        svst1_f32(pg, c + i, acc);
    }
}

// out = sqrt(x) where x >= 0, else x / -2; counts the roots.
static uint64_t roots_or_halves(const double *x, double *out, int n) {
    uint64_t roots = 0;
    for (int i = 0; i < n; i += (int)svcntd()) {
        svbool_t pg = svwhilelt_b64(i, n);
        svfloat64_t v = svld1_f64(pg, x + i);
        svbool_t nonnegative = svcmpge_n_f64(pg, v, 0.0);
        svfloat64_t r = svsel_f64(nonnegative, svsqrt_f64_x(pg, v), svdiv_n_f64_x(pg, v, -2.0));
        svst1_f64(pg, out + i, r);
        roots += svcntp_b64(pg, nonnegative);
    }
    return roots;
}

int main(void) {
    static double x[N], y[N], r[N];
    static float a[2 * N], b[2 * N], c[2 * N], hin[N], hout[N];
    for (int i = 0; i < N; ++i) {
        x[i] = (i % 17) * 0.125 - 1.0 + i * 1e-3;
        y[i] = 1.0 / (i + 1);
        hin[i] = (float)((i % 23) - 11) / 8.0f;
    }
    for (int i = 0; i < 2 * N; ++i) {
        a[i] = (float)((i * 7) % 13) - 6.0f;
        b[i] = (float)((i * 5) % 11) * 0.5f - 2.0f;
    }

    daxpy(2.5, x, y, N);
    printf("daxpy: y[0]=%.17g y[%d]=%.17g checksum=%016llx\n", y[0], N - 1, y[N - 1],
           (unsigned long long)checksum(y, N));

    double tree, ordered;
    dot(x, y, N, &tree, &ordered);
    printf("dot: faddv=%.17g (%016llx) fadda=%.17g (%016llx)\n", tree,
           (unsigned long long)bits_of(tree), ordered, (unsigned long long)bits_of(ordered));

    half_loop(hin, hout, N);
    printf("half: out[5]=%.9g out[%d]=%.9g checksum=%016llx\n", hout[5], N - 1, hout[N - 1],
           (unsigned long long)checksum_f(hout, N));

    complex_multiply(a, b, c, N);
    printf("complex: c[0]=(%g, %g) c[%d]=(%g, %g) checksum=%016llx\n", c[0], c[1], N - 1,
           c[2 * N - 2], c[2 * N - 1], (unsigned long long)checksum_f(c, 2 * N));

    uint64_t roots = roots_or_halves(x, r, N);
    printf("select: roots=%llu r[3]=%.17g r[16]=%.17g checksum=%016llx\n",
           (unsigned long long)roots, r[3], r[16], (unsigned long long)checksum(r, N));
    return 0;
}
