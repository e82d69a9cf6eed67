// Whole-vector copies, fills and element loops at the process's vector length, done in 16-byte
// blocks: every length is a whole number of them. A copy of a run-time size would otherwise be a
// library call, and an element loop of a run-time count would not be vectorised; each costs more
// than the few blocks one instruction moves.
#pragma once

#include <cstdint>
#include <cstring>

namespace ostrel {

constexpr unsigned kVectorBlockBytes = 16;
using VectorBlock = uint8_t __attribute__((vector_size(kVectorBlockBytes)));

inline void copy_vector(uint8_t *dst, const uint8_t *src, unsigned bytes) {
    for (unsigned at = 0; at < bytes; at += kVectorBlockBytes) {
        VectorBlock block;
        std::memcpy(&block, src + at, kVectorBlockBytes);
        std::memcpy(dst + at, &block, kVectorBlockBytes);
    }
}

inline void fill_vector(uint8_t *dst, uint8_t value, unsigned bytes) {
    VectorBlock block;
    for (unsigned i = 0; i < kVectorBlockBytes; ++i)
        block[i] = value;
    for (unsigned at = 0; at < bytes; at += kVectorBlockBytes)
        std::memcpy(dst + at, &block, kVectorBlockBytes);
}

// body(i) for every element i of type T in `bytes`, in ascending order; the inner loop's fixed
// count is what lets the compiler vectorise it.
template <typename T, typename Body> inline void for_each_element(unsigned bytes, Body &&body) {
    static_assert(kVectorBlockBytes % sizeof(T) == 0, "elements tile a block");
    constexpr unsigned kPerBlock = kVectorBlockBytes / sizeof(T);
    for (unsigned first = 0; first < bytes / sizeof(T); first += kPerBlock)
        for (unsigned j = 0; j < kPerBlock; ++j)
            body(first + j);
}

} // namespace ostrel
