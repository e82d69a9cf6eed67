// The guest side of the side-by-side benchmark: for every class, and for NOP, a loop of
// OSTREL_BENCH_COPIES copies of the word that counts X28 down to zero; and the entry that starts
// such a loop from a register image.
#include "bench/side_by_side/classes.h"
#include "bench/side_by_side/guest_image.h"

    .arch armv8.2-a+sve
    .text

// Registers X0..X27 are the image's; X28 is the iteration count.
#define OSTREL_BENCH_LOOP(id, name, assembly, word, fill, bytes)                                   \
    .globl ostrel_bench_loop_##id;                                                                 \
    .type ostrel_bench_loop_##id, %function;                                                       \
    .p2align 6;                                                                                    \
    ostrel_bench_loop_##id:                                                                        \
    .rept OSTREL_BENCH_COPIES; .inst word; .endr;                                                  \
    subs x28, x28, 1;                                                                              \
    b.ne ostrel_bench_loop_##id;                                                                   \
    ret;

OSTREL_BENCH_CLASSES(OSTREL_BENCH_LOOP)
OSTREL_BENCH_LOOP(nop, "NOP", "nop", OSTREL_BENCH_NOP_WORD, integer, 4)

// unsigned long ostrel_bench_vector_bytes(void)
    .globl ostrel_bench_vector_bytes
    .type ostrel_bench_vector_bytes, %function
    .p2align 2
ostrel_bench_vector_bytes:
    rdvl    x0, #1
    ret

// void ostrel_bench_run(const void *image, void (*loop)(void), unsigned long iterations)
// Loads the whole image, runs the loop and returns; what the procedure call standard asks the
// callee to keep (X19..X30, the low halves of V8..V15) is saved around it.
    .globl ostrel_bench_run
    .type ostrel_bench_run, %function
    .p2align 2
ostrel_bench_run:
    stp     x29, x30, [sp, #-160]!
    stp     x19, x20, [sp, #16]
    stp     x21, x22, [sp, #32]
    stp     x23, x24, [sp, #48]
    stp     x25, x26, [sp, #64]
    stp     x27, x28, [sp, #80]
    stp     d8, d9, [sp, #96]
    stp     d10, d11, [sp, #112]
    stp     d12, d13, [sp, #128]
    stp     d14, d15, [sp, #144]

    mov     x9, x0
    mov     x29, x1
    mov     x28, x2

    // The FFR is written through P0 before P0 gets its own value.
    mov     x11, #GUEST_IMAGE_P
    add     x10, x9, x11
    ldr     p0, [x10, #GUEST_IMAGE_FFR_INDEX, mul vl]
    wrffr   p0.b
    .irp    n, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
    ldr     p\n, [x10, #\n, mul vl]
    .endr
    add     x10, x9, #GUEST_IMAGE_Z
    .irp    n, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31
    ldr     z\n, [x10, #\n, mul vl]
    .endr
    // X9 is the image's base: its own value comes last.
    .irp    n, 0,1,2,3,4,5,6,7,8,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27
    ldr     x\n, [x9, #(GUEST_IMAGE_X + 8 * \n)]
    .endr
    ldr     x9, [x9, #(GUEST_IMAGE_X + 8 * 9)]

    blr     x29

    ldp     d14, d15, [sp, #144]
    ldp     d12, d13, [sp, #128]
    ldp     d10, d11, [sp, #112]
    ldp     d8, d9, [sp, #96]
    ldp     x27, x28, [sp, #80]
    ldp     x25, x26, [sp, #64]
    ldp     x23, x24, [sp, #48]
    ldp     x21, x22, [sp, #32]
    ldp     x19, x20, [sp, #16]
    ldp     x29, x30, [sp], #160
    ret

    .section .note.GNU-stack, "", %progbits
