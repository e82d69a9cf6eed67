// The one rule by which every flag-setting predicate instruction writes NZCV (PredTest), and the
// element searches built on predicates. Executors use the byte-per-bit form on cpu_state,
// kernels the PredV form on their context.
#pragma once

#include <cstdint>

#include "sve/client/cpu_state.h"
#include "sve/kernels/vec_value.h"

namespace ostrel {

constexpr uint32_t kFlagN = 1u << 31, kFlagZ = 1u << 30, kFlagC = 1u << 29, kFlagV = 1u << 28;
constexpr uint32_t kFlagsNZCV = kFlagN | kFlagZ | kFlagC | kFlagV;

// NZCV of PredTest: N = the first active element's result, Z = no active element's result set,
// C = the last active element's result clear; with no active element N = 0, Z = C = 1. V is 0.
constexpr uint32_t pred_test_flags(bool any_active, bool first, bool any_set, bool last) {
    if (!any_active) return kFlagZ | kFlagC;
    return (first ? kFlagN : 0) | (any_set ? 0 : kFlagZ) | (last ? 0 : kFlagC);
}

// Replaces N, Z, C and V of an NZCV word and keeps its other bits.
template <typename Word> constexpr Word with_flags(Word nzcv, uint32_t flags) {
    return (nzcv & ~Word{kFlagsNZCV}) | flags;
}

} // namespace ostrel

// PredTest over the predicate bytes of the process's vector length with an element step of
// sizeof(T): an element's mask and result are bit 0 of its first byte.
template <typename T> void sve_ptest(cpu_state *state, const uint8_t *mask, const uint8_t *result) {
    bool any_active = false, first = false, any_set = false, last = false;
    const unsigned bytes = ostrel::vector_bytes();
    for (unsigned i = 0; i < bytes; i += sizeof(T)) {
        if (!(mask[i] & 1)) continue;
        const bool bit = result[i] & 1;
        if (!any_active) first = bit;
        any_active = true;
        any_set = any_set || bit;
        last = bit;
    }
    state->nzcv =
        ostrel::with_flags(state->nzcv, ostrel::pred_test_flags(any_active, first, any_set, last));
}

// PredTest on predicate values of VL x 64 / esize elements (esize in bits): N, Z and C; V is kept.
// For Z and C an element's result counts as set when any of its bits is.
void PredSetNZC(const PredV &mask, const PredV &result, unsigned esize, CpuContext *ctx);
// PredSetNZC, then V cleared.
void PredSetNZCV(const PredV &mask, const PredV &result, unsigned esize, CpuContext *ctx);

// Index of the first / last element (esize in bits) whose bit is set, or 0xffffffff when none.
uint32_t FindFirstActive(const PredV &p, unsigned esize, const CpuContext *ctx);
uint32_t FindLastActive(const PredV &p, unsigned esize, const CpuContext *ctx);

// The number of leading true elements a predicate-constraint pattern selects from `elements`.
uint32_t VecTrueILength(uint32_t pattern, uint32_t elements);
