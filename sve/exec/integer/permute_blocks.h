// Element movements of ZIP and TBL over whole 16-byte blocks, for the fixed-length executors:
// a block's lanes are moved as one vector where the compiler can, and the loops carry no
// per-element index arithmetic. Destinations must not overlap the sources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sve/exec/integer/lane_lookup.h"
#include "sve/exec/integer/lane_zip.h"
#include "sve/exec/vector_blocks.h"

namespace ostrel::permute {

// ZIP1 (high = false) and ZIP2 of `bytes`-long registers: the low or high halves of a and b
// interleaved. Output blocks 2m and 2m + 1 come from block m of each source's half, its low and
// its high lanes. Where the half is not a whole number of blocks (an odd count of blocks), the
// last output block uses only the low lanes of a source block that reaches 8 bytes past the half;
// a register's storage is always kMaxVectorBytes wide and no such read passes its end.
template <typename T>
void zip_blocks(uint8_t *dst, const uint8_t *a, const uint8_t *b, std::size_t bytes, bool high) {
    const std::size_t from = high ? bytes / 2 : 0;
    for (std::size_t out = 0; out < bytes; out += 2 * kVectorBlockBytes) {
        const BlockLanes<T> x = load_block<T>(a + from + out / 2),
                            y = load_block<T>(b + from + out / 2);
        store_block(dst + out, interleave_half<false>(x, y));
        if (out + kVectorBlockBytes < bytes)
            store_block(dst + out + kVectorBlockBytes, interleave_half<true>(x, y));
    }
}

// TBL: element i = table[index[i]], or 0 when the (unsigned) index is not below the element
// count.
template <typename T>
void table_lookup_blocks(uint8_t *dst, const uint8_t *table, const uint8_t *index,
                         std::size_t bytes) {
    const std::size_t count = bytes / sizeof(T);
    for_each_block(bytes,
                   [&](std::size_t at) { lookup_block<T>(dst + at, table, index + at, count); });
}

} // namespace ostrel::permute
