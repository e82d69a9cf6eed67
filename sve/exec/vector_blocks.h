// Whole-vector copies, fills and element loops at the process's vector length, done in 16-byte
// blocks: every length is a whole number of them. A copy of a run-time size would otherwise be a
// library call, and an element loop of a run-time count would not be vectorised; each costs more
// than the few blocks one instruction moves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ostrel {

constexpr unsigned kVectorBlockBytes = 16;
using VectorBlock = uint8_t __attribute__((vector_size(kVectorBlockBytes)));

// A block as lanes of T, for work on all of its elements at once.
template <typename T> struct LanesOf {
    typedef T type __attribute__((vector_size(kVectorBlockBytes)));
};
template <typename T> using Lanes = typename LanesOf<T>::type;

template <typename T> inline Lanes<T> load_lanes(const uint8_t *bytes) {
    Lanes<T> lanes;
    std::memcpy(&lanes, bytes, sizeof lanes);
    return lanes;
}
// The OR of all bits of the block, folded to one word: zero when the block is.
template <typename T> inline uint64_t fold_lanes(const Lanes<T> &lanes) {
    uint64_t words[2];
    std::memcpy(words, &lanes, sizeof words);
    return words[0] | words[1];
}
template <typename T> inline void store_lanes(uint8_t *bytes, const Lanes<T> &lanes) {
    std::memcpy(bytes, &lanes, sizeof lanes);
}

// body(at) for the offset of every block of `bytes`, ascending: two blocks a step once an odd
// block is done, so that a step's loads and stores pair up.
template <typename Body> inline void for_each_block(unsigned bytes, Body &&body) {
    std::size_t at = 0;
    if (bytes & kVectorBlockBytes) {
        body(at);
        at += kVectorBlockBytes;
    }
    for (; at < bytes; at += 2 * kVectorBlockBytes) {
        body(at);
        body(at + kVectorBlockBytes);
    }
}

inline void copy_block(uint8_t *dst, const uint8_t *src) {
    VectorBlock block;
    std::memcpy(&block, src, kVectorBlockBytes);
    std::memcpy(dst, &block, kVectorBlockBytes);
}

// Two blocks a step once an odd block is done, walking pointers: an index of 32 bits would be
// widened again for every address.
inline void copy_vector(uint8_t *dst, const uint8_t *src, unsigned bytes) {
    const uint8_t *const end = src + bytes;
    if (bytes & kVectorBlockBytes) {
        copy_block(dst, src);
        src += kVectorBlockBytes;
        dst += kVectorBlockBytes;
    }
    for (; src != end; src += 2 * kVectorBlockBytes, dst += 2 * kVectorBlockBytes) {
        VectorBlock low, high;
        std::memcpy(&low, src, kVectorBlockBytes);
        std::memcpy(&high, src + kVectorBlockBytes, kVectorBlockBytes);
        std::memcpy(dst, &low, kVectorBlockBytes);
        std::memcpy(dst + kVectorBlockBytes, &high, kVectorBlockBytes);
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
