/* Corners of the instrumentation client, one per command-line word: registers the framework
 * treats specially (X26..X28, SP), registers an instruction does not name, writes of FPCR and a
 * fault of an emulated load. Apart from "fault", which shows the client's own message, each
 * prints what it prints on a processor with SVE. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>

/* The emulation sequence uses X26 and X27 itself (X27 parked in a framework slot), and X28 is
 * the register the framework keeps for itself. */
static void stolen_registers(void) {
    uint64_t x26, x27, x28, kept27, kept28;
    __asm__ volatile("mov x26, #100\n\t"
                     "incd x26\n\t"        /* reads and writes X26 */
                     "cntb x27\n\t"        /* writes X27 */
                     "incd x27, all, mul #3\n\t" /* reads and writes X27 */
                     "mov x28, #1000\n\t"
                     "incw x28, all, mul #2\n\t" /* reads and writes X28 */
                     "mov %0, x26\n\tmov %1, x27\n\tmov %2, x28\n\t"
                     "movz x28, #0x5678\n\tmovk x28, #0x1234, lsl #16\n\t"
                     "movz x27, #0x9abc\n\tmovk x27, #0x1234, lsl #32\n\t"
                     "ptrue p0.b\n\t" /* leaves X27 and X28 alone */
                     "mov %3, x27\n\tmov %4, x28\n\t"
                     : "=r"(x26), "=r"(x27), "=r"(x28), "=r"(kept27), "=r"(kept28)
                     :
                     : "x26", "x27", "x28", "p0", "memory");
    printf("x26=%llu x27=%llu x28=%llu kept x27=%#llx x28=%#llx\n", (unsigned long long)x26,
           (unsigned long long)x27, (unsigned long long)x28, (unsigned long long)kept27,
           (unsigned long long)kept28);
}

/* What an emulated instruction does not name stays as it was: the link register and X26 (the
 * call to the emulation passes through both), the flags, FPSR and a NEON register; then the
 * link register as an operand. */
static void untouched_registers(void) {
    uint64_t x30, x26, nzcv, fpsr, d5, counted30;
    __asm__ volatile("mov x30, #4242\n\t"
                     "mov x26, #2626\n\t"
                     "mov x9, #0x1234\n\tfmov d5, x9\n\t"
                     "mov x9, #0x60000000\n\tmsr nzcv, x9\n\t" /* Z and C */
                     "mov x9, #0x10\n\tmsr fpsr, x9\n\t"       /* IXC */
                     "add z1.s, z2.s, z3.s\n\t"                /* names none of them */
                     "mov %0, x30\n\tmov %1, x26\n\tmrs %2, nzcv\n\tmrs %3, fpsr\n\t"
                     "fmov %4, d5\n\t"
                     "incd x30\n\t" /* reads and writes X30 */
                     "mov %5, x30\n\t"
                     : "=r"(x30), "=r"(x26), "=r"(nzcv), "=r"(fpsr), "=r"(d5), "=r"(counted30)
                     :
                     : "x9", "x26", "x30", "z1", "v5", "cc", "memory");
    printf("x30=%llu x26=%llu nzcv=%#llx fpsr=%#llx d5=%#llx x30 counted=%llu\n",
           (unsigned long long)x30, (unsigned long long)x26, (unsigned long long)nzcv,
           (unsigned long long)fpsr, (unsigned long long)d5, (unsigned long long)counted30);
}

/* SP as a base: an address computed from it and a load through it. */
static void stack_pointer(void) {
    uint64_t distance, sum;
    __asm__ volatile("sub sp, sp, #64\n\t"
                     "mov x9, #7\n\tstr x9, [sp]\n\t"
                     "mov x9, #35\n\tstr x9, [sp, #8]\n\t"
                     "mov x10, sp\n\t"
                     "addvl x11, sp, #1\n\t"
                     "sub %0, x11, x10\n\t"
                     "ptrue p1.d, vl2\n\t"
                     "ld1d {z3.d}, p1/z, [sp]\n\t"
                     "uaddv d4, p1, z3.d\n\t"
                     "fmov %1, d4\n\t"
                     "add sp, sp, #64\n\t"
                     : "=r"(distance), "=r"(sum)
                     :
                     : "x9", "x10", "x11", "p1", "z3", "z4", "memory");
    printf("addvl distance=%llu sum through sp=%llu\n", (unsigned long long)distance,
           (unsigned long long)sum);
}

/* Writes of FPCR from X5, XZR and X21 (the register the client would take as scratch). The
 * registers around them and the FPCR the processor holds come out as written. */
static void fpcr_writes(void) {
    uint64_t from_x5, from_xzr, from_x21, x21_after, x22_after, x5_after;
    __asm__ volatile("mrs x12, fpcr\n\t"
                     "movz x5, #0x00c0, lsl #16\n\t" /* RMode = towards zero */
                     "msr fpcr, x5\n\t"
                     "mrs %0, fpcr\n\t"
                     "msr fpcr, xzr\n\t"
                     "mrs %1, fpcr\n\t"
                     "movz x21, #0x0140, lsl #16\n\t" /* DN, RMode = towards plus infinity */
                     "movz x22, #0x2222\n\t"
                     "msr fpcr, x21\n\t"
                     "mrs %2, fpcr\n\t"
                     "mov %3, x21\n\tmov %4, x22\n\tmov %5, x5\n\t"
                     "msr fpcr, x12\n\t"
                     : "=&r"(from_x5), "=&r"(from_xzr), "=&r"(from_x21), "=&r"(x21_after),
                       "=&r"(x22_after), "=&r"(x5_after)
                     :
                     : "x5", "x12", "x21", "x22", "memory");
    printf("fpcr from x5=%#llx from xzr=%#llx from x21=%#llx; x5=%#llx x21=%#llx x22=%#llx\n",
           (unsigned long long)from_x5, (unsigned long long)from_xzr,
           (unsigned long long)from_x21, (unsigned long long)x5_after,
           (unsigned long long)x21_after, (unsigned long long)x22_after);
}

/* A load from a page that cannot be read: no guarded read covers it. */
static void faulting_load(void) {
    void *page = mmap(NULL, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    printf("before\n");
    fflush(stdout);
    __asm__ volatile("ptrue p2.d\n\t"
                     "ld1d {z5.d}, p2/z, [%0]\n\t"
                     :
                     : "r"(page)
                     : "p2", "z5", "memory");
    printf("not reached\n");
}

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "stolen")) stolen_registers();
        else if (!strcmp(argv[i], "sp")) stack_pointer();
        else if (!strcmp(argv[i], "untouched")) untouched_registers();
        else if (!strcmp(argv[i], "fpcr")) fpcr_writes();
        else if (!strcmp(argv[i], "fault")) faulting_load();
        else {
            fprintf(stderr, "unknown case %s\n", argv[i]);
            return 2;
        }
    }
    return 0;
}
