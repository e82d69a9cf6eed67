/* The instruction classes of the side-by-side benchmark against QEMU, in one table that the guest
 * program (its loops, in assembly), the native engine timing and the table all expand:
 *   X(id, name, assembly, word, fill, element_bytes)
 * id names the guest loop and the result lines; name is the class as the table prints it; word
 * is what the cross assembler makes of the assembly. fill and element_bytes are the setup: what
 * the source vectors start with (integer or floating-point elements of that size), so that
 * floating-point classes compute on ordinary normal numbers. Every class shares the rest of the
 * setup (register_image.h): X0 and X4 point into a data buffer (loads from X0, stores to X4),
 * X1 = 10 and X2 = 1000, Z3 holds 64-bit element numbers (gather indices, TBL indices), every
 * predicate and the FFR are all true. Destinations are Z0, Z4, Z5, P1 or V0; the loop counter
 * is X28.
 * Left out: instructions QEMU folds into constants (INCD, CNTD, PTRUE and the like). */
#ifndef OSTREL_BENCH_SIDE_BY_SIDE_CLASSES_H
#define OSTREL_BENCH_SIDE_BY_SIDE_CLASSES_H

/* Copies of the instruction in one loop iteration, on both sides. */
#define OSTREL_BENCH_COPIES 256

#define OSTREL_BENCH_NOP_WORD 0xd503201f

#define OSTREL_BENCH_CLASSES(X)                                                                    \
    X(add_pred, "ADD (predicated)", "add z0.s, p0/m, z0.s, z1.s", 0x04800020, integer, 4)          \
    X(add, "ADD (unpredicated)", "add z0.s, z1.s, z2.s", 0x04a20020, integer, 4)                   \
    X(mul, "MUL", "mul z0.s, p0/m, z0.s, z1.s", 0x04900020, integer, 4)                            \
    X(and_d, "AND", "and z0.d, z1.d, z2.d", 0x04223020, integer, 8)                                \
    X(lsl_imm, "LSL (immediate)", "lsl z0.s, z1.s, #3", 0x04639c20, integer, 4)                    \
    X(cmpgt, "CMPGT", "cmpgt p1.s, p0/z, z1.s, z2.s", 0x24828031, integer, 4)                      \
    X(sel, "SEL", "sel z0.s, p1, z1.s, z2.s", 0x05a2c420, integer, 4)                              \
    X(whilelo, "WHILELO", "whilelo p1.s, x1, x2", 0x25a21c21, integer, 4)                          \
    X(ptest, "PTEST", "ptest p0, p1.b", 0x2550c020, integer, 1)                                    \
    X(zip1, "ZIP1", "zip1 z0.s, z1.s, z2.s", 0x05a26020, integer, 4)                               \
    X(tbl, "TBL", "tbl z0.s, {z1.s}, z3.s", 0x05a33020, integer, 4)                                \
    X(uaddv, "UADDV", "uaddv d0, p0, z1.s", 0x04812020, integer, 4)                                \
    X(ld1d, "LD1D", "ld1d {z0.d}, p0/z, [x0]", 0xa5e0a000, integer, 8)                             \
    X(st1d, "ST1D", "st1d {z1.d}, p0, [x4]", 0xe5e0e081, integer, 8)                               \
    X(ld1d_gather, "LD1D (gather)", "ld1d {z0.d}, p0/z, [x0, z3.d, lsl #3]", 0xc5e3c000, integer,  \
      8)                                                                                           \
    X(ld2d, "LD2D", "ld2d {z4.d, z5.d}, p0/z, [x0]", 0xa5a0e004, integer, 8)                       \
    X(ldff1b, "LDFF1B", "ldff1b {z0.b}, p0/z, [x0, x1]", 0xa4016000, integer, 1)                   \
    X(fadd_s, "FADD single", "fadd z0.s, z1.s, z2.s", 0x65820020, floating, 4)                     \
    X(fadd_h, "FADD half", "fadd z0.h, z1.h, z2.h", 0x65420020, floating, 2)                       \
    X(fmla_d, "FMLA double", "fmla z0.d, p0/m, z1.d, z2.d", 0x65e20020, floating, 8)               \
    X(faddv_s, "FADDV single", "faddv s0, p0, z1.s", 0x65802020, floating, 4)                      \
    X(fcvt_d2s, "FCVT double to single", "fcvt z0.s, p0/m, z1.d", 0x65caa020, floating, 8)         \
    X(fsqrt_d, "FSQRT double", "fsqrt z0.d, p0/m, z1.d", 0x65cda020, floating, 8)

#endif
