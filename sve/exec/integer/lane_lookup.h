// One block of table lookups, as TBL does them: lane j = table[indices[j]], or 0 where the
// (unsigned) index is not below the table's element count; no read leaves the table. For 32- and
// 64-bit elements on AArch64 the range test and the masking are one vector instruction each for
// the block and each lookup loads straight into its lane; elsewhere, and for narrower elements,
// the portable lane loop gives the same lanes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sve/exec/integer/lane_neon.h"
#include "sve/exec/vector_blocks.h"

namespace ostrel::permute {

template <typename T>
inline void lookup_block(uint8_t *out, const uint8_t *table, const uint8_t *indices,
                         std::size_t count) {
#if defined(__aarch64__)
    if constexpr (sizeof(T) == 4) {
        const uint32_t *elements = reinterpret_cast<const uint32_t *>(table);
        const uint32x4_t index = vld1q_u32(reinterpret_cast<const uint32_t *>(indices));
        const uint32x4_t inside = vcltq_u32(index, vdupq_n_u32(static_cast<uint32_t>(count)));
        const uint32x4_t safe = vandq_u32(index, inside);
        uint32x4_t value = vdupq_n_u32(0);
        value = vld1q_lane_u32(elements + vgetq_lane_u32(safe, 0), value, 0);
        value = vld1q_lane_u32(elements + vgetq_lane_u32(safe, 1), value, 1);
        value = vld1q_lane_u32(elements + vgetq_lane_u32(safe, 2), value, 2);
        value = vld1q_lane_u32(elements + vgetq_lane_u32(safe, 3), value, 3);
        vst1q_u32(reinterpret_cast<uint32_t *>(out), vandq_u32(value, inside));
        return;
    } else if constexpr (sizeof(T) == 8) {
        const uint64_t *elements = reinterpret_cast<const uint64_t *>(table);
        const uint64x2_t index = vld1q_u64(reinterpret_cast<const uint64_t *>(indices));
        const uint64x2_t inside = vcltq_u64(index, vdupq_n_u64(count));
        const uint64x2_t safe = vandq_u64(index, inside);
        uint64x2_t value = vdupq_n_u64(0);
        value = vld1q_lane_u64(elements + vgetq_lane_u64(safe, 0), value, 0);
        value = vld1q_lane_u64(elements + vgetq_lane_u64(safe, 1), value, 1);
        vst1q_u64(reinterpret_cast<uint64_t *>(out), vandq_u64(value, inside));
        return;
    }
#endif
    // A block's lookups in a row, without a loop's own count and branch for each.
#pragma GCC unroll 16
    for (unsigned j = 0; j < BlockLanes<T>::kCount; ++j) {
        T i, value{0};
        std::memcpy(&i, indices + j * sizeof(T), sizeof(T));
        if (i < count) std::memcpy(&value, table + i * sizeof(T), sizeof(T));
        std::memcpy(out + j * sizeof(T), &value, sizeof(T));
    }
}

} // namespace ostrel::permute
