// The block the entry sequence (enter_case.S) works on: the case's state going in, the state
// coming out, and what it must give back to the host afterwards. Shared by the assembler and C++,
// so the offsets are spelled out here and checked against the C++ layout below.
#pragma once

// Offsets inside one ArchState (tools/oracle/oracle_case.h).
#define REF_STATE_X 0
#define REF_STATE_SP 248
#define REF_STATE_NZCV 256
#define REF_STATE_FPCR 260
#define REF_STATE_FPSR 264
#define REF_STATE_Z 272
#define REF_STATE_P 8464   // P0..P15, one predicate after the other
#define REF_STATE_FFR 8976 // FFR, after P15
#define REF_STATE_BYTES 9016

// Registers sit at the strides of the longest length whatever the length of the run, so the
// entry sequence steps from one to the next by these rather than by "mul vl".
#define REF_VECTOR_STRIDE 256
#define REF_PREDICATE_STRIDE 32

// Offsets inside the run block.
#define REF_BLOCK_IN 0
#define REF_BLOCK_OUT REF_STATE_BYTES
#define REF_BLOCK_HOST_SP (2 * REF_STATE_BYTES)
#define REF_BLOCK_HOST_TPIDR (REF_BLOCK_HOST_SP + 8)
#define REF_BLOCK_HOST_FPCR (REF_BLOCK_HOST_SP + 16)
#define REF_BLOCK_HOST_FPSR (REF_BLOCK_HOST_SP + 24)
#define REF_BLOCK_BYTES (REF_BLOCK_HOST_SP + 32)

#ifndef __ASSEMBLER__

#include <cstddef>
#include <cstdint>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::reference {

struct RunBlock {
    ArchState in;
    ArchState out;
    uint64_t host_sp;
    uint64_t host_tpidr;
    uint64_t host_fpcr;
    uint64_t host_fpsr;
};

static_assert(offsetof(ArchState, x) == REF_STATE_X);
static_assert(offsetof(ArchState, sp) == REF_STATE_SP);
static_assert(offsetof(ArchState, nzcv) == REF_STATE_NZCV);
static_assert(offsetof(ArchState, fpcr) == REF_STATE_FPCR);
static_assert(offsetof(ArchState, fpsr) == REF_STATE_FPSR);
static_assert(offsetof(ArchState, z) == REF_STATE_Z);
static_assert(offsetof(ArchState, p) == REF_STATE_P);
static_assert(offsetof(ArchState, ffr) == REF_STATE_FFR);
static_assert(sizeof ArchState::z[0] == REF_VECTOR_STRIDE);
static_assert(sizeof ArchState::p[0] == REF_PREDICATE_STRIDE);
static_assert(sizeof(ArchState) == REF_STATE_BYTES);
static_assert(offsetof(RunBlock, in) == REF_BLOCK_IN);
static_assert(offsetof(RunBlock, out) == REF_BLOCK_OUT);
static_assert(offsetof(RunBlock, host_sp) == REF_BLOCK_HOST_SP);
static_assert(offsetof(RunBlock, host_tpidr) == REF_BLOCK_HOST_TPIDR);
static_assert(offsetof(RunBlock, host_fpcr) == REF_BLOCK_HOST_FPCR);
static_assert(offsetof(RunBlock, host_fpsr) == REF_BLOCK_HOST_FPSR);
static_assert(sizeof(RunBlock) == REF_BLOCK_BYTES);

extern "C" {
// The entry sequence, position independent, copied into the code page once. It is called with no
// arguments; it finds the block through the literal at ostrel_ref_block_literal.
extern const uint32_t ostrel_ref_template_begin[];
extern const uint32_t ostrel_ref_instruction_slot[];
extern const uint32_t ostrel_ref_block_literal[];
extern const uint32_t ostrel_ref_template_end[];
}

} // namespace ostrel::oracle::reference

#endif
