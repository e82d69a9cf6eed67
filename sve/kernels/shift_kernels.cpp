// Kernels of the shifts: LSR by immediate, the reversed shifts ASRR/LSRR/LSLR, ASRD and the wide
// shifts by the 64-bit elements of the second source.
#include "sve/exec/integer/logical_elements.h"
#include "sve/kernels/logical_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using ostrel::logical::AsrdElement;
using ostrel::logical::AsrElement;
using ostrel::logical::LslElement;
using ostrel::logical::LsrElement;
using ostrel::logical::Reversed;
using namespace ostrel::logical_kernels;

// Kernels of one shape at every element size from 8 bits up to 64 or 32.
#define OSTREL_FOR_SIZES_64(M, prefix, family, Op)                                                 \
    M(Vec##prefix##8##family, Op, uint8_t)                                                         \
    M(Vec##prefix##16##family, Op, uint16_t)                                                       \
    M(Vec##prefix##32##family, Op, uint32_t)                                                       \
    M(Vec##prefix##64##family, Op, uint64_t)
#define OSTREL_FOR_SIZES_32(M, prefix, family, Op)                                                 \
    M(Vec##prefix##8##family, Op, uint8_t)                                                         \
    M(Vec##prefix##16##family, Op, uint16_t)                                                       \
    M(Vec##prefix##32##family, Op, uint32_t)

// Zdn, Pg/M, Zdn, Zm.
#define OSTREL_BY_VECTOR(name, Op, T)                                                              \
    VecValue name(VecValue zdn, PredV pg, VecValue zm, CpuContext *ctx) {                          \
        return merging_binary<Op, T>(zdn, pg, zm, ctx);                                            \
    }
// Zdn, Pg/M, Zdn, #shift.
#define OSTREL_BY_IMMEDIATE_MERGING(name, Op, T)                                                   \
    VecValue name(VecValue zdn, PredV pg, unsigned int shift, CpuContext *ctx) {                   \
        return merging_immediate<Op, T>(zdn, pg, shift, ctx);                                      \
    }
// Zd, Zn, #shift.
#define OSTREL_BY_IMMEDIATE(name, Op, T)                                                           \
    VecValue name(VecValue zn, unsigned int shift, CpuContext *ctx) {                              \
        return unpredicated_immediate<Op, T>(zn, shift, ctx);                                      \
    }
// Zdn, Pg/M, Zdn, Zm.D.
#define OSTREL_WIDE_MERGING(name, Op, T)                                                           \
    VecValue name(VecValue zdn, PredV pg, VecValue zm, CpuContext *ctx) {                          \
        return merging_wide<Op, T>(zdn, pg, zm, ctx);                                              \
    }
// Zd, Zn, Zm.D.
#define OSTREL_WIDE(name, Op, T)                                                                   \
    VecValue name(VecValue zn, VecValue zm, CpuContext *ctx) {                                     \
        return unpredicated_wide<Op, T>(zn, zm, ctx);                                              \
    }

// LSR (immediate).
OSTREL_FOR_SIZES_64(OSTREL_BY_IMMEDIATE_MERGING, U, ShrVIM, LsrElement)
OSTREL_FOR_SIZES_64(OSTREL_BY_IMMEDIATE, U, ShrVIX, LsrElement)

// ASRD.
OSTREL_FOR_SIZES_64(OSTREL_BY_IMMEDIATE_MERGING, S, ShrDVIM, AsrdElement)

// ASRR, LSRR, LSLR: Zm shifted by Zdn's element.
OSTREL_FOR_SIZES_64(OSTREL_BY_VECTOR, S, ShrRVVM, Reversed<AsrElement>)
OSTREL_FOR_SIZES_64(OSTREL_BY_VECTOR, U, ShrRVVM, Reversed<LsrElement>)
OSTREL_FOR_SIZES_64(OSTREL_BY_VECTOR, U, ShlRVVM, Reversed<LslElement>)

// ASR, LSR, LSL (wide elements), predicated and unpredicated.
OSTREL_FOR_SIZES_32(OSTREL_WIDE_MERGING, S, ShrVWM, AsrElement)
OSTREL_FOR_SIZES_32(OSTREL_WIDE_MERGING, U, ShrVWM, LsrElement)
OSTREL_FOR_SIZES_32(OSTREL_WIDE_MERGING, U, ShlVWM, LslElement)
OSTREL_FOR_SIZES_32(OSTREL_WIDE, S, ShrVWX, AsrElement)
OSTREL_FOR_SIZES_32(OSTREL_WIDE, U, ShrVWX, LsrElement)
OSTREL_FOR_SIZES_32(OSTREL_WIDE, U, ShlVWX, LslElement)
