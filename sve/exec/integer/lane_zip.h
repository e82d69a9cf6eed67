// Interleaving the lanes of two 16-byte blocks, as ZIP1 and ZIP2 do within one block. On AArch64
// the compiler does not find the single instruction that does it for elements wider than a byte,
// so it is named there; elsewhere the portable lane loop gives the same lanes.
#pragma once

#include "sve/exec/integer/lane_neon.h"
#include "sve/exec/vector_blocks.h"

namespace ostrel::permute {

// Lanes x0 y0 x1 y1 ... from the low (High = false) or high halves of x and y.
template <bool High, typename T>
inline BlockLanes<T> interleave_half(const BlockLanes<T> &x, const BlockLanes<T> &y) {
#if defined(__aarch64__)
    using integer::neon::from_neon;
    using integer::neon::to_neon;
    const auto a = to_neon(x), b = to_neon(y);
    if constexpr (sizeof(T) == 1)
        return from_neon<T>(High ? vzip2q_u8(a, b) : vzip1q_u8(a, b));
    else if constexpr (sizeof(T) == 2)
        return from_neon<T>(High ? vzip2q_u16(a, b) : vzip1q_u16(a, b));
    else if constexpr (sizeof(T) == 4)
        return from_neon<T>(High ? vzip2q_u32(a, b) : vzip1q_u32(a, b));
    else
        return from_neon<T>(High ? vzip2q_u64(a, b) : vzip1q_u64(a, b));
#else
    constexpr unsigned kHalf = BlockLanes<T>::kCount / 2;
    constexpr unsigned kFrom = High ? kHalf : 0;
    BlockLanes<T> out;
    for (unsigned j = 0; j < kHalf; ++j) {
        out.lane[2 * j] = x.lane[kFrom + j];
        out.lane[2 * j + 1] = y.lane[kFrom + j];
    }
    return out;
#endif
}

} // namespace ostrel::permute
