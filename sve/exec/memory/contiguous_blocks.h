// Whole-block forms of the contiguous accesses, for the usual case in which no element can fault
// but the first: 16 bytes of memory at a time instead of one element at a time.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/exec/integer/element_loops.h"
#include "sve/exec/vector_blocks.h"
#include "sve/kernels/guest_memory.h"

namespace ostrel::memory {

// The bytes from `address` to the end of its page (0 while page_size is not known).
inline uint64_t bytes_left_in_page(uint64_t address) {
    if (page_size == 0) return 0;
    return page_size - (address & (uint64_t{page_size} - 1));
}

// Whether an access may touch `span` bytes from `address` whatever its predicate: they lie in
// the page of its first byte, which an access whose element 0 is active reads or writes first,
// so a fault happens there, at `address`, either way, and nowhere else.
inline bool within_first_page(uint64_t address, uint64_t span) {
    return span <= bytes_left_in_page(address);
}

// How many of `count` elements (or structures) of `stride` bytes from `address` a load may read
// without looking at the predicate, given active(i): none when element 0 is inactive; else all
// when they lie in the page of element 0, or when the first one that reaches the next page is
// active (the access element by element reads that page there first: a fault happens either way,
// and an access spans at most two pages); else those wholly in the page of element 0.
template <typename Active>
unsigned predicate_free_prefix(uint64_t address, unsigned stride, unsigned count, Active active) {
    if (!active(0)) return 0;
    const uint64_t in_page = bytes_left_in_page(address) / stride;
    if (in_page >= count) return count;
    return active(static_cast<unsigned>(in_page)) ? count : static_cast<unsigned>(in_page);
}

// All ones in the lanes of active elements, zero in the others: bit 0 of each lane's first byte,
// spread over the lane.
template <typename U> inline Lanes<U> active_lanes(const uint8_t *pred) {
    // A lane comparison is all ones where it holds: one bit-test instruction where there is one.
    return (Lanes<U>)((load_lanes<U>(pred) & U{1}) != 0);
}

// Zt = the `bytes` bytes at `memory`, inactive elements zero.
template <typename U>
inline void load_active_blocks(uint8_t *zt, const uint8_t *memory, const uint8_t *pred,
                               unsigned bytes) {
    for_each_block(bytes, [&](std::size_t at) {
        store_lanes<U>(zt + at, load_lanes<U>(memory + at) & active_lanes<U>(pred + at));
    });
}

// Zt = the elements of type T at `memory` extended to U, inactive elements zero; the elements
// are read in place, without a branch.
template <typename T, typename U>
void load_active_extended(uint8_t *zt, const uint8_t *memory, const uint8_t *pred, unsigned bytes) {
    uint8_t result[kMaxVectorBytes];
    for_each_element<U>(bytes, [&](std::size_t i) {
        const U value = static_cast<U>(integer::load_element<T>(memory, i));
        integer::store_element<U>(result, i,
                                  integer::blend(integer::active_mask<U>(pred, i), value, U{0}));
    });
    copy_vector(zt, result, bytes);
}

// Whether every element of U in `bytes` predicate bytes is active.
template <typename U> inline bool all_active(const uint8_t *pred, unsigned bytes) {
    Lanes<U> inactive = {};
    for_each_block(bytes, [&](std::size_t at) { inactive |= ~load_lanes<U>(pred + at); });
    return fold_lanes<U>(inactive & U{1}) == 0;
}

// The guest address as a pointer of this process.
inline uint8_t *guest_bytes(uint64_t address) {
    return reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(address));
}

} // namespace ostrel::memory
