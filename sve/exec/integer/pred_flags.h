// The one rule by which every flag-setting predicate instruction writes NZCV (PredTest), and the
// element searches built on predicates. Executors use the byte-per-bit form on cpu_state,
// kernels the PredV form on their context.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/client/cpu_state.h"
#include "sve/exec/vector_blocks.h"
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

namespace ostrel {

// Bit 0 of every sizeof(T)-th byte of a little-endian 64-bit word of predicate bytes: the bits
// that hold the elements' values.
template <typename T> constexpr uint64_t element_bits_of_word() {
    uint64_t bits = 0;
    for (unsigned i = 0; i < 8; i += sizeof(T))
        bits |= uint64_t{1} << (8 * i);
    return bits;
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "predicate words are read little-endian");

inline uint64_t load_pred_word(const uint8_t *bytes) {
    uint64_t w;
    std::memcpy(&w, bytes, sizeof w);
    return w;
}

// Byte offsets of the first and the last active element of a predicate (element step sizeof(T))
// of `bytes` bytes, a multiple of 8. Found a word at a time from either end: for the usual
// all-true or leading-true predicate each end is in the first word looked at.
struct ActiveEnds {
    bool any;
    unsigned first, last;
};

template <typename T>
[[gnu::always_inline]] inline ActiveEnds active_ends(const uint8_t *mask, unsigned bytes) {
    constexpr uint64_t kBits = element_bits_of_word<T>();
    unsigned first = 0;
    uint64_t first_word;
    while (!(first_word = load_pred_word(mask + first) & kBits)) {
        first += 8;
        if (first == bytes) return {false, 0, 0};
    }
    unsigned last = bytes - 8;
    uint64_t last_word;
    while (!(last_word = load_pred_word(mask + last) & kBits))
        last -= 8;
    return {true, first + __builtin_ctzll(first_word) / 8,
            last + (63 - __builtin_clzll(last_word)) / 8};
}

// Whether an element (step sizeof(T)) has bit 0 set in both `mask` and `result`, over `bytes`
// bytes, a multiple of 16: the AND of the two ORed together a block at a time, the element bits
// picked out once at the end.
template <typename T>
bool any_element_in_both(const uint8_t *mask, const uint8_t *result, unsigned bytes) {
    Lanes<uint8_t> both = {};
    for_each_block(bytes, [&](std::size_t at) {
        both |= load_lanes<uint8_t>(mask + at) & load_lanes<uint8_t>(result + at);
    });
    return (fold_lanes<uint8_t>(both) & element_bits_of_word<T>()) != 0;
}

// NZCV of PredTest over `bytes` predicate bytes (a multiple of 16), element step sizeof(T).
template <typename T>
uint32_t pred_test_bytes(const uint8_t *mask, const uint8_t *result, unsigned bytes) {
    const ActiveEnds ends = active_ends<T>(mask, bytes);
    if (!ends.any) return pred_test_flags(false, false, false, false);
    return pred_test_flags(true, (result[ends.first] & 1u) != 0,
                           any_element_in_both<T>(mask, result, bytes),
                           (result[ends.last] & 1u) != 0);
}

} // namespace ostrel

// PredTest over the predicate bytes of the process's vector length with an element step of
// sizeof(T): an element's mask and result are bit 0 of its first byte.
template <typename T> void sve_ptest(cpu_state *state, const uint8_t *mask, const uint8_t *result) {
    state->nzcv = ostrel::with_flags(
        state->nzcv, ostrel::pred_test_bytes<T>(mask, result, ostrel::vector_bytes()));
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
