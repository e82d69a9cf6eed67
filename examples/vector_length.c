// Prints what depends on the vector length: the element counts, the counts of the fixed predicate
// patterns, a WHILELT over 100 bytes and the last lane of an index vector. With "fork", a child
// process prints the same after its parent: a child keeps its parent's length.
#include <arm_sve.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

static void report(const char *who) {
    printf("%s: bytes %llu halves %llu words %llu doublewords %llu\n", who,
           (unsigned long long)svcntb(), (unsigned long long)svcnth(), (unsigned long long)svcntw(),
           (unsigned long long)svcntd());
    printf("%s: pow2 %llu vl7 %llu vl256 %llu mul3 %llu mul4 %llu\n", who,
           (unsigned long long)svcntb_pat(SV_POW2), (unsigned long long)svcnth_pat(SV_VL7),
           (unsigned long long)svcntb_pat(SV_VL256), (unsigned long long)svcntw_pat(SV_MUL3),
           (unsigned long long)svcntd_pat(SV_MUL4));
    const svbool_t first_100 = svwhilelt_b8_u64(0, 100);
    printf("%s: whilelt 100 bytes %llu, last index %u\n", who,
           (unsigned long long)svcntp_b8(svptrue_b8(), first_100),
           (unsigned)svlastb_u32(svptrue_b32(), svindex_u32(0, 1)));
}

int main(int argc, char **argv) {
    report("parent");
    if (argc > 1 && strcmp(argv[1], "fork") == 0) {
        fflush(stdout);
        const pid_t child = fork();
        if (child < 0) {
            perror("fork");
            return 1;
        }
        if (child == 0) {
            report("child");
            return 0;
        }
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status)) {
            fprintf(stderr, "child failed\n");
            return 1;
        }
    }
    return 0;
}
