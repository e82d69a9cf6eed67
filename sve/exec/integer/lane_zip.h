// Interleaving the lanes of two 16-byte blocks, as ZIP1 and ZIP2 do within one block. On AArch64
// the compiler does not find the single instruction that does it for elements wider than a byte,
// so it is named there; elsewhere the portable lane loop gives the same lanes.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "sve/exec/vector_blocks.h"

#if defined(__aarch64__)
#include <arm_neon.h>
#endif

namespace ostrel::permute {

// Lanes x0 y0 x1 y1 ... from the low (high = false) or high halves of x and y.
template <bool High, typename T>
inline BlockLanes<T> interleave_half(const BlockLanes<T> &x, const BlockLanes<T> &y) {
    BlockLanes<T> out;
#if defined(__aarch64__)
    using Unsigned = std::conditional_t<
        sizeof(T) == 1, uint8x16_t,
        std::conditional_t<sizeof(T) == 2, uint16x8_t,
                           std::conditional_t<sizeof(T) == 4, uint32x4_t, uint64x2_t>>>;
    Unsigned a, b, r;
    std::memcpy(&a, x.lane, kVectorBlockBytes);
    std::memcpy(&b, y.lane, kVectorBlockBytes);
    if constexpr (sizeof(T) == 1)
        r = High ? vzip2q_u8(a, b) : vzip1q_u8(a, b);
    else if constexpr (sizeof(T) == 2)
        r = High ? vzip2q_u16(a, b) : vzip1q_u16(a, b);
    else if constexpr (sizeof(T) == 4)
        r = High ? vzip2q_u32(a, b) : vzip1q_u32(a, b);
    else
        r = High ? vzip2q_u64(a, b) : vzip1q_u64(a, b);
    std::memcpy(out.lane, &r, kVectorBlockBytes);
#else
    constexpr unsigned kHalf = BlockLanes<T>::kCount / 2;
    constexpr unsigned kFrom = High ? kHalf : 0;
    for (unsigned j = 0; j < kHalf; ++j) {
        out.lane[2 * j] = x.lane[kFrom + j];
        out.lane[2 * j + 1] = y.lane[kFrom + j];
    }
#endif
    return out;
}

} // namespace ostrel::permute
