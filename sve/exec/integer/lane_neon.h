// The few block operations the compiler does not find a single AArch64 instruction for, named
// there, with a portable lane loop of identical results elsewhere: the active-lane mask of a
// predicate block, and adding a block's lanes in pairs into lanes twice as wide. Also the
// conversions between a block and the NEON vector of its lanes, which lane_zip.h uses too.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "sve/exec/vector_blocks.h"

#if defined(__aarch64__)
#include <arm_neon.h>
#endif

namespace ostrel::integer {

// The unsigned integer twice as wide as T (T up to 32 bits).
template <typename T>
using Wider = std::conditional_t<sizeof(T) == 1, uint16_t,
                                 std::conditional_t<sizeof(T) == 2, uint32_t, uint64_t>>;

#if defined(__aarch64__)
namespace neon {
// The NEON vector of unsigned lanes of T's width.
template <typename T>
using Lanes = std::conditional_t<
    sizeof(T) == 1, uint8x16_t,
    std::conditional_t<sizeof(T) == 2, uint16x8_t,
                       std::conditional_t<sizeof(T) == 4, uint32x4_t, uint64x2_t>>>;

template <typename T> inline Lanes<T> to_neon(const BlockLanes<T> &block) {
    Lanes<T> v;
    std::memcpy(&v, block.lane, kVectorBlockBytes);
    return v;
}
template <typename T> inline BlockLanes<T> from_neon(Lanes<T> v) {
    BlockLanes<T> block;
    std::memcpy(block.lane, &v, kVectorBlockBytes);
    return block;
}
} // namespace neon
#endif

// All ones in each lane whose predicate bytes, read as one little-endian T, have bit 0 set (the
// bit of the element's first byte); zero in the others. One test instruction on AArch64 rather
// than an and and a negate.
template <typename T> inline BlockLanes<T> lanes_with_bit0(const BlockLanes<T> &pred) {
#if defined(__aarch64__)
    using neon::from_neon;
    using neon::to_neon;
    const auto p = to_neon(pred);
    if constexpr (sizeof(T) == 1)
        return from_neon<T>(vtstq_u8(p, vdupq_n_u8(1)));
    else if constexpr (sizeof(T) == 2)
        return from_neon<T>(vtstq_u16(p, vdupq_n_u16(1)));
    else if constexpr (sizeof(T) == 4)
        return from_neon<T>(vtstq_u32(p, vdupq_n_u32(1)));
    else
        return from_neon<T>(vtstq_u64(p, vdupq_n_u64(1)));
#else
    BlockLanes<T> mask;
    for (unsigned j = 0; j < mask.kCount; ++j)
        mask.lane[j] = static_cast<T>(T{0} - static_cast<T>(pred.lane[j] & 1u));
    return mask;
#endif
}

// sums.lane[j] += values.lane[2j] + values.lane[2j + 1], in lanes twice as wide as T.
template <typename T>
inline void add_lane_pairs(BlockLanes<Wider<T>> &sums, const BlockLanes<T> &values) {
    static_assert(sizeof(T) < 8, "pairs of 64-bit lanes would need 128-bit sums");
#if defined(__aarch64__)
    using neon::from_neon;
    using neon::to_neon;
    const auto v = to_neon(values);
    const auto s = to_neon(sums);
    if constexpr (sizeof(T) == 1)
        sums = from_neon<uint16_t>(vpadalq_u8(s, v));
    else if constexpr (sizeof(T) == 2)
        sums = from_neon<uint32_t>(vpadalq_u16(s, v));
    else
        sums = from_neon<uint64_t>(vpadalq_u32(s, v));
#else
    for (unsigned j = 0; j < sums.kCount; ++j)
        sums.lane[j] = static_cast<Wider<T>>(sums.lane[j] + Wider<T>{values.lane[2 * j]} +
                                             Wider<T>{values.lane[2 * j + 1]});
#endif
}

} // namespace ostrel::integer
