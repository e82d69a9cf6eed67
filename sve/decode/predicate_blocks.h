// Predicate bytes (one per bit, bit 0 meaningful) to a PredV and back, sixteen bytes at a time:
// the kernel road converts the FFR both ways on every call. On AArch64 each block is a few NEON
// instructions; elsewhere these are the eight-byte forms of vec_value.h, with the same results:
// bits from `count` on are zero, and no byte from `count` on is written.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/kernels/vec_value.h"

#if defined(__aarch64__)
#include <arm_neon.h>
#endif

namespace ostrel::decode {

#if defined(__aarch64__)

inline PredV pack_predicate_blocks(const uint8_t *bytes, unsigned count) {
    // Byte k of each eight moves its bit 0 to bit k; pairwise sums then gather each eight into
    // one byte, in order: four blocks give a 64-bit word, a single block two bytes.
    static constexpr uint8_t kShifts[16] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7};
    const int8x16_t shifts = vreinterpretq_s8_u8(vld1q_u8(kShifts));
    const uint8x16_t bit0 = vdupq_n_u8(1);
    const auto placed = [&](const uint8_t *at) {
        return vshlq_u8(vandq_u8(vld1q_u8(at), bit0), shifts);
    };
    PredV p;
    p.clear();
    uint8_t *out = reinterpret_cast<uint8_t *>(p.words);
    unsigned at = 0;
    for (; at + 64 <= count; at += 64, out += 8) {
        const uint8x16_t low = vpaddq_u8(placed(bytes + at), placed(bytes + at + 16));
        const uint8x16_t high = vpaddq_u8(placed(bytes + at + 32), placed(bytes + at + 48));
        uint8x16_t b = vpaddq_u8(low, high);
        b = vpaddq_u8(b, b);
        const uint64_t word = vgetq_lane_u64(vreinterpretq_u64_u8(b), 0);
        std::memcpy(out, &word, sizeof word);
    }
    for (; at < count; at += 16, out += 2) {
        uint8x16_t b = placed(bytes + at);
        b = vpaddq_u8(b, b);
        b = vpaddq_u8(b, b);
        b = vpaddq_u8(b, b);
        const uint16_t sixteen = vgetq_lane_u16(vreinterpretq_u16_u8(b), 0);
        std::memcpy(out, &sixteen, sizeof sixteen);
    }
    return p;
}

inline void unpack_predicate_blocks(const PredV &p, unsigned count, uint8_t *bytes) {
    // Each 64-bit word, repeated over a register, is a table from which a look-up spreads the two
    // bit-bytes of a block over eight bytes each; byte k then tests bit k, and the all-ones of a
    // set bit shifts down to 1. (A one-register table keeps the compiler from copying it.)
    static constexpr uint8_t kIndex[4][16] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1},
        {2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3},
        {4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5},
        {6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7},
    };
    static constexpr uint8_t kWeights[16] = {1, 2, 4, 8, 16, 32, 64, 128,
                                             1, 2, 4, 8, 16, 32, 64, 128};
    const uint8x16_t weights = vld1q_u8(kWeights);
    const uint8x16_t first = vld1q_u8(kIndex[0]), second = vld1q_u8(kIndex[1]);
    const uint8x16_t third = vld1q_u8(kIndex[2]), fourth = vld1q_u8(kIndex[3]);
    const auto spread = [&](uint8x16_t table, uint8x16_t index) {
        return vshrq_n_u8(vtstq_u8(vqtbl1q_u8(table, index), weights), 7);
    };
    const auto table_of = [&](unsigned word) {
        return vreinterpretq_u8_u64(vdupq_n_u64(p.words[word]));
    };
    unsigned at = 0, word = 0;
    for (; at + 64 <= count; at += 64, ++word) {
        const uint8x16_t table = table_of(word);
        vst1q_u8(bytes + at, spread(table, first));
        vst1q_u8(bytes + at + 16, spread(table, second));
        vst1q_u8(bytes + at + 32, spread(table, third));
        vst1q_u8(bytes + at + 48, spread(table, fourth));
    }
    // The blocks of a last, partial word: one to three.
    if (at == count) return;
    const uint8x16_t table = table_of(word);
    vst1q_u8(bytes + at, spread(table, first));
    if (at + 16 == count) return;
    vst1q_u8(bytes + at + 16, spread(table, second));
    if (at + 32 == count) return;
    vst1q_u8(bytes + at + 32, spread(table, third));
}

#else

inline PredV pack_predicate_blocks(const uint8_t *bytes, unsigned count) {
    return pack_predicate_bytes(bytes, count);
}

inline void unpack_predicate_blocks(const PredV &p, unsigned count, uint8_t *bytes) {
    unpack_predicate_bits(p, count, bytes);
}

#endif

} // namespace ostrel::decode
