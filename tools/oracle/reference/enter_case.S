// The sequence that runs one case: it loads the case's complete state, executes the case's
// instruction and stores the complete state that follows. It is a template: the runner copies it
// into a code page of its own, stores the run block's address in the literal at its end and
// writes the case's encoding over the instruction slot. Everything in it is position independent.
//
// Every general register, SP included, belongs to the case around the instruction, so the block
// is found afterwards through the literal, after parking X0 in TPIDR_EL0 (which holds the C
// library's thread pointer: saved before and given back below).
#include "tools/oracle/reference/run_block.h"

#define IN(field) (REF_BLOCK_IN + REF_STATE_##field)
#define OUT(field) (REF_BLOCK_OUT + REF_STATE_##field)

    .arch armv8.2-a+sve
    .text
    .p2align 3
    .globl ostrel_ref_template_begin
    .globl ostrel_ref_instruction_slot
    .globl ostrel_ref_block_literal
    .globl ostrel_ref_template_end

ostrel_ref_template_begin:
    // What the procedure call standard says the callee preserves: only the low 64 bits of
    // V8-V15; the rest of the Z and P registers and FFR are the caller's to lose.
    stp     x29, x30, [sp, #-160]!
    mov     x29, sp
    stp     x19, x20, [sp, #16]
    stp     x21, x22, [sp, #32]
    stp     x23, x24, [sp, #48]
    stp     x25, x26, [sp, #64]
    stp     x27, x28, [sp, #80]
    stp     d8, d9, [sp, #96]
    stp     d10, d11, [sp, #112]
    stp     d12, d13, [sp, #128]
    stp     d14, d15, [sp, #144]

    ldr     x0, .Lblock_literal
    mov     x1, sp
    str     x1, [x0, #REF_BLOCK_HOST_SP]
    mrs     x1, tpidr_el0
    str     x1, [x0, #REF_BLOCK_HOST_TPIDR]
    mrs     x1, fpcr
    str     x1, [x0, #REF_BLOCK_HOST_FPCR]
    mrs     x1, fpsr
    str     x1, [x0, #REF_BLOCK_HOST_FPSR]

    // FFR can only be written from a predicate register: go through P0 before P0 gets its own.
    mov     x9, #IN(FFR)
    add     x2, x0, x9
    ldr     p0, [x2]
    wrffr   p0.b
    mov     x9, #IN(P)
    add     x2, x0, x9
    .irp    n, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
    ldr     p\n, [x2]
    add     x2, x2, #REF_PREDICATE_STRIDE
    .endr

    mov     x9, #IN(Z)
    add     x1, x0, x9
    .irp    n, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31
    ldr     z\n, [x1]
    add     x1, x1, #REF_VECTOR_STRIDE
    .endr

    // Floating-point modes and flags last among the system registers: nothing below computes.
    ldr     w9, [x0, #IN(FPCR)]
    msr     fpcr, x9
    ldr     w9, [x0, #IN(FPSR)]
    msr     fpsr, x9
    ldr     w9, [x0, #IN(NZCV)]
    msr     nzcv, x9
    ldr     x9, [x0, #IN(SP)]
    mov     sp, x9

    .irp    n, 2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30
    ldr     x\n, [x0, #(IN(X) + 8 * \n)]
    .endr
    ldr     x1, [x0, #(IN(X) + 8)]
    ldr     x0, [x0, #IN(X)]

ostrel_ref_instruction_slot:
    udf     #0                          // the case's encoding goes here

    // Everything is the case's now; none of what follows changes NZCV, FPSR or memory outside
    // the block before it has been recorded.
    msr     tpidr_el0, x0
    ldr     x0, .Lblock_literal
    .irp    n, 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30
    str     x\n, [x0, #(OUT(X) + 8 * \n)]
    .endr
    mrs     x1, tpidr_el0
    str     x1, [x0, #OUT(X)]
    mov     x1, sp
    str     x1, [x0, #OUT(SP)]
    ldr     x1, [x0, #REF_BLOCK_HOST_SP]
    mov     sp, x1

    mrs     x1, nzcv
    str     w1, [x0, #OUT(NZCV)]
    mrs     x1, fpcr
    str     w1, [x0, #OUT(FPCR)]
    mrs     x1, fpsr
    str     w1, [x0, #OUT(FPSR)]

    ldr     x1, [x0, #REF_BLOCK_HOST_TPIDR]
    msr     tpidr_el0, x1
    ldr     x1, [x0, #REF_BLOCK_HOST_FPCR]
    msr     fpcr, x1
    ldr     x1, [x0, #REF_BLOCK_HOST_FPSR]
    msr     fpsr, x1

    mov     x9, #OUT(Z)
    add     x1, x0, x9
    .irp    n, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31
    str     z\n, [x1]
    add     x1, x1, #REF_VECTOR_STRIDE
    .endr

    mov     x9, #OUT(P)
    add     x2, x0, x9
    .irp    n, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
    str     p\n, [x2]
    add     x2, x2, #REF_PREDICATE_STRIDE
    .endr
    rdffr   p0.b
    mov     x9, #OUT(FFR)
    add     x2, x0, x9
    str     p0, [x2]

    ldp     x19, x20, [sp, #16]
    ldp     x21, x22, [sp, #32]
    ldp     x23, x24, [sp, #48]
    ldp     x25, x26, [sp, #64]
    ldp     x27, x28, [sp, #80]
    ldp     d8, d9, [sp, #96]
    ldp     d10, d11, [sp, #112]
    ldp     d12, d13, [sp, #128]
    ldp     d14, d15, [sp, #144]
    ldp     x29, x30, [sp], #160
    ret

    .p2align 3
ostrel_ref_block_literal:
.Lblock_literal:                        // local, so the loads above are resolved here, not linked
    .quad   0                           // the run block's address, written by the runner
ostrel_ref_template_end:

    .section .note.GNU-stack, "", %progbits
