// Structure loads of two or four members by whole blocks: each member register's block is
// picked out of the N memory blocks its structures occupy by unzipping them, lanes of even index
// from odd, once for two members and twice for four.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sve/exec/memory/contiguous_blocks.h"
#include "sve/exec/vector_blocks.h"

namespace ostrel::memory {

// Lane selectors of the concatenation of two blocks: lanes 0, 2, 4, ... (Parity 0) or 1, 3, 5,
// ... (Parity 1).
template <typename T, unsigned Parity> inline Lanes<T> alternate_lanes() {
    Lanes<T> index;
    for (unsigned i = 0; i < kVectorBlockBytes / sizeof(T); ++i)
        index[i] = static_cast<T>(2 * i + Parity);
    return index;
}

// The lanes of even and of odd index of a, then b.
template <typename T> struct Unzipped { Lanes<T> even, odd; };
template <typename T> inline Unzipped<T> unzip(Lanes<T> a, Lanes<T> b) {
    return {__builtin_shuffle(a, b, alternate_lanes<T, 0>()),
            __builtin_shuffle(a, b, alternate_lanes<T, 1>())};
}

// Whether N members can be taken apart block by block.
template <unsigned N> constexpr bool kUnzippable = N == 2 || N == 4;

// members[r] = member r of the structures of elements of type T at `memory`, `bytes` bytes of each
// register; inactive elements zero.
template <typename T, unsigned N>
void load_structure_blocks(uint8_t *const (&members)[N], const uint8_t *memory, const uint8_t *pred,
                           unsigned bytes) {
    static_assert(kUnzippable<N>, "two or four members");
    for (std::size_t at = 0; at < bytes; at += kVectorBlockBytes) {
        const uint8_t *from = memory + N * at;
        const Lanes<T> active = active_lanes<T>(pred + at);
        if constexpr (N == 2) {
            const Unzipped<T> m = unzip<T>(load_lanes<T>(from), load_lanes<T>(from + 16));
            store_lanes<T>(members[0] + at, m.even & active);
            store_lanes<T>(members[1] + at, m.odd & active);
        } else {
            const Unzipped<T> low = unzip<T>(load_lanes<T>(from), load_lanes<T>(from + 16));
            const Unzipped<T> high = unzip<T>(load_lanes<T>(from + 32), load_lanes<T>(from + 48));
            const Unzipped<T> even = unzip<T>(low.even, high.even);
            const Unzipped<T> odd = unzip<T>(low.odd, high.odd);
            store_lanes<T>(members[0] + at, even.even & active);
            store_lanes<T>(members[1] + at, odd.even & active);
            store_lanes<T>(members[2] + at, even.odd & active);
            store_lanes<T>(members[3] + at, odd.odd & active);
        }
    }
}

} // namespace ostrel::memory
