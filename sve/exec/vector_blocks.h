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

// body(i) for every element i of type T in `bytes`, in ascending order; the inner loop's fixed
// count is what lets the compiler vectorise it.
template <typename T, typename Body> inline void for_each_element(unsigned bytes, Body &&body) {
    static_assert(kVectorBlockBytes % sizeof(T) == 0, "elements tile a block");
    constexpr unsigned kPerBlock = kVectorBlockBytes / sizeof(T);
    for (unsigned first = 0; first < bytes / sizeof(T); first += kPerBlock)
        for (unsigned j = 0; j < kPerBlock; ++j)
            body(first + j);
}

// body(at) for the byte offset of every 16-byte block in `bytes`, in ascending order. Four blocks
// a turn (after one and two blocks for the length's remainder) cut the loop's own pointer steps,
// count and branch to a fraction of a block's cost, which one or two vector instructions
// compute; counting turns rather than comparing offsets spares the set-up of a bound.
template <typename Body> inline void for_each_block(std::size_t bytes, Body &&body) {
    constexpr std::size_t kTurnBytes = 4 * kVectorBlockBytes;
    std::size_t at = 0;
    if (bytes & kVectorBlockBytes) {
        body(at);
        at += kVectorBlockBytes;
    }
    if (bytes & 2 * kVectorBlockBytes) {
        body(at);
        body(at + kVectorBlockBytes);
        at += 2 * kVectorBlockBytes;
    }
    for (std::size_t turns = bytes / kTurnBytes; turns != 0; --turns, at += kTurnBytes) {
        body(at);
        body(at + kVectorBlockBytes);
        body(at + 2 * kVectorBlockBytes);
        body(at + 3 * kVectorBlockBytes);
    }
}

// The elements of type T in one 16-byte block. Loops over its fixed count of lanes become single
// vector instructions; loading and storing it whole is one vector load or store.
template <typename T> struct BlockLanes {
    static constexpr unsigned kCount = kVectorBlockBytes / sizeof(T);
    static_assert(kVectorBlockBytes % sizeof(T) == 0, "elements tile a block");
    T lane[kCount];
};

template <typename T> inline BlockLanes<T> load_block(const uint8_t *at) {
    BlockLanes<T> block;
    std::memcpy(block.lane, at, kVectorBlockBytes);
    return block;
}

template <typename T> inline void store_block(uint8_t *at, const BlockLanes<T> &block) {
    std::memcpy(at, block.lane, kVectorBlockBytes);
}

inline void copy_vector(uint8_t *dst, const uint8_t *src, unsigned bytes) {
    for_each_block(bytes, [&](std::size_t at) {
        VectorBlock block;
        std::memcpy(&block, src + at, kVectorBlockBytes);
        std::memcpy(dst + at, &block, kVectorBlockBytes);
    });
}

inline void fill_vector(uint8_t *dst, uint8_t value, unsigned bytes) {
    VectorBlock block;
    for (unsigned i = 0; i < kVectorBlockBytes; ++i)
        block[i] = value;
    for_each_block(bytes,
                   [&](std::size_t at) { std::memcpy(dst + at, &block, kVectorBlockBytes); });
}

} // namespace ostrel
