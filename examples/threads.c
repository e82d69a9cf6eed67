// Eight threads run SVE loops at once, each on its own data; each thread's vector state is its own.
#include <arm_sve.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>

enum { THREADS = 8, N = 5000 };

struct work {
    int id;
    int32_t data[N];
    int64_t sum;
};

static void *run(void *arg) {
    struct work *w = arg;
    for (int i = 0; i < N; ++i)
        w->data[i] = (i * (w->id + 3)) % 1001 - 500;
    // Scale in place, then add up, several passes so the threads overlap.
    for (int pass = 0; pass < 4; ++pass) {
        for (uint64_t i = 0; i < N; i += svcntw()) {
            svbool_t active = svwhilelt_b32_u64(i, N);
            svint32_t v = svld1_s32(active, w->data + i);
            svst1_s32(active, w->data + i, svadd_s32_m(active, v, svdup_n_s32(w->id + pass)));
        }
    }
    int64_t sum = 0;
    for (int i = 0; i < N; ++i)
        sum += w->data[i];
    w->sum = sum;
    return NULL;
}

int main(void) {
    static struct work works[THREADS];
    pthread_t threads[THREADS];
    for (int t = 0; t < THREADS; ++t) {
        works[t].id = t;
        pthread_create(&threads[t], NULL, run, &works[t]);
    }
    for (int t = 0; t < THREADS; ++t)
        pthread_join(threads[t], NULL);
    for (int t = 0; t < THREADS; ++t)
        printf("thread %d: %lld\n", t, (long long)works[t].sum);
    return 0;
}
