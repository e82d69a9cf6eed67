// Eight threads, each scanning strings that end right before an unmapped page of its own with
// first-fault loads (and one non-fault load), at the same time. Prints each thread's lengths.
#include <arm_sve.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

enum { kThreads = 8, kStrings = 40 };

static size_t sve_strlen(const char *s) {
    size_t len = 0;
    const svbool_t all = svptrue_b8();
    for (;;) {
        svsetffr();
        svuint8_t bytes = svldff1_u8(all, (const uint8_t *)s + len);
        svbool_t loaded = svrdffr();
        svbool_t zero = svcmpeq_n_u8(loaded, bytes, 0);
        if (svptest_any(loaded, zero)) return len + svcntp_b8(loaded, svbrkb_b_z(loaded, zero));
        len += svcntp_b8(all, loaded);
    }
}

typedef struct {
    int id;
    uint64_t lengths, nonfault;
} job;

static void *scan(void *arg) {
    job *j = arg;
    const long page = sysconf(_SC_PAGESIZE);
    char *area = mmap(NULL, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    munmap(area + page, page);
    memset(area, 'a' + j->id, page);
    area[page - 1] = '\0';
    for (int k = 0; k < kStrings; ++k) {
        const size_t len = (size_t)((k * 37 + j->id * 11) % 500);
        j->lengths = j->lengths * 31 + sve_strlen(area + page - 1 - len);
    }
    svsetffr();
    const size_t tail = 16 + 8 * (size_t)j->id;
    svuint8_t v = svldnf1_u8(svptrue_b8(), (const uint8_t *)area + page - tail);
    svbool_t loaded = svrdffr();
    j->nonfault = svcntp_b8(svptrue_b8(), loaded) * 1000 + svaddv_u8(loaded, v);
    munmap(area, page);
    return NULL;
}

int main(void) {
    pthread_t ids[kThreads];
    job jobs[kThreads];
    for (int t = 0; t < kThreads; ++t) {
        jobs[t] = (job){t, 0, 0};
        pthread_create(&ids[t], NULL, scan, &jobs[t]);
    }
    for (int t = 0; t < kThreads; ++t)
        pthread_join(ids[t], NULL);
    for (int t = 0; t < kThreads; ++t)
        printf("thread %d: lengths %016llx, non-fault %llu\n", t,
               (unsigned long long)jobs[t].lengths, (unsigned long long)jobs[t].nonfault);
    return 0;
}
