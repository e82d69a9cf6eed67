// Element loops of the integer executors at the process's vector length: element
// access, the element-size dispatch and the loop shapes (predicated with merging, for two or
// three sources; unpredicated; with an immediate). Each loop works one 16-byte block at a time,
// in place: a block's result depends only on the same block of every source, and all of them are
// read before the destination's block is written, so a source that is also the destination is
// read with its old value without a whole-vector temporary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sve/client/cpu_state.h"
#include "sve/exec/integer/lane_neon.h"
#include "sve/exec/vector_blocks.h"

namespace ostrel::integer {

template <typename T> inline T load_element(const uint8_t *reg, std::size_t i) {
    T v;
    std::memcpy(&v, reg + i * sizeof(T), sizeof(T));
    return v;
}

template <typename T> inline void store_element(uint8_t *reg, std::size_t i, T v) {
    std::memcpy(reg + i * sizeof(T), &v, sizeof(T));
}

// An element is active when bit 0 of the predicate byte at its first byte is set; the bytes of
// its other positions are not looked at.
template <typename T> inline bool element_active(const uint8_t *pred, unsigned i) {
    return (pred[i * sizeof(T)] & 1u) != 0;
}

// All ones when the element is active, zero when not: the mask a branch-free loop blends with.
// The element's predicate bytes are read as one little-endian T, whose bit 0 is that of its first
// byte: a contiguous access like the data's, which the compiler vectorises.
template <typename T> inline T active_mask(const uint8_t *pred, std::size_t i) {
    return static_cast<T>(T{0} - static_cast<T>(load_element<T>(pred, i) & 1u));
}

// `active` where mask is all ones, `inactive` where it is zero.
template <typename T> inline T blend(T mask, T active, T inactive) {
    return static_cast<T>((active & mask) | (inactive & static_cast<T>(~mask)));
}

using ostrel::for_each_element;

// Elements of type T in one vector at the process's length; an executor reads it once, before
// its loop.
template <typename T> inline unsigned element_count() {
    return vector_bytes() / sizeof(T);
}

// Calls fn(T{}) with the unsigned element type of a size code: 1 = 16-bit, 2 = 32-bit,
// 3 = 64-bit, any other value 8-bit.
template <typename Fn> inline void with_element_type(uint32_t size_code, Fn &&fn) {
    switch (size_code) {
    case 1:
        fn(uint16_t{});
        break;
    case 2:
        fn(uint32_t{});
        break;
    case 3:
        fn(uint64_t{});
        break;
    default:
        fn(uint8_t{});
        break;
    }
}

// active_mask for every lane of the block of elements whose predicate bytes start at pred.
template <typename T> inline BlockLanes<T> active_lanes(const uint8_t *pred) {
    return lanes_with_bit0(load_block<T>(pred));
}

// Zd = the lanes value(old block, at) gives on active elements; inactive elements keep Zd. value
// gives every lane of the block and the predicate picks, so what it computes must be defined for
// any operands (none here traps). The merging loops below, and those of logical_loops.h, are
// this walk with the operation's own operands.
template <typename T, typename Value>
void merge_into_blocks(cpu_state &s, uint32_t zd, uint32_t pg, Value value) {
    uint8_t *d = s.z[zd];
    const uint8_t *pred = s.p[pg];
    for_each_block(vector_bytes(), [&](std::size_t at) {
        const BlockLanes<T> old = load_block<T>(d + at), mask = active_lanes<T>(pred + at);
        const BlockLanes<T> computed = value(old, at);
        BlockLanes<T> out;
        for (unsigned j = 0; j < out.kCount; ++j)
            out.lane[j] = blend(mask.lane[j], computed.lane[j], old.lane[j]);
        store_block(d + at, out);
    });
}

// Zdn = Op(Zdn, Zm) on active elements; inactive elements keep Zdn.
template <typename Op, typename T>
void merging_binary(cpu_state &s, uint32_t zdn, uint32_t pg, uint32_t zm) {
    const uint8_t *b = s.z[zm];
    merge_into_blocks<T>(s, zdn, pg, [&](const BlockLanes<T> &old, std::size_t at) {
        const BlockLanes<T> other = load_block<T>(b + at);
        BlockLanes<T> out;
        for (unsigned j = 0; j < out.kCount; ++j)
            out.lane[j] = Op::apply(old.lane[j], other.lane[j]);
        return out;
    });
}

// Zd = Op(Zd, Zn, Zm) on active elements; inactive elements keep Zd.
template <typename Op, typename T>
void merging_ternary(cpu_state &s, uint32_t zd, uint32_t pg, uint32_t zn, uint32_t zm) {
    const uint8_t *a = s.z[zn], *b = s.z[zm];
    merge_into_blocks<T>(s, zd, pg, [&](const BlockLanes<T> &old, std::size_t at) {
        const BlockLanes<T> first = load_block<T>(a + at), second = load_block<T>(b + at);
        BlockLanes<T> out;
        for (unsigned j = 0; j < out.kCount; ++j)
            out.lane[j] = Op::apply(old.lane[j], first.lane[j], second.lane[j]);
        return out;
    });
}

// Zd = Op(Zn, Zm) on every element.
template <typename Op, typename T>
void unpredicated_binary(cpu_state &s, uint32_t zd, uint32_t zn, uint32_t zm) {
    uint8_t *d = s.z[zd];
    const uint8_t *a = s.z[zn], *b = s.z[zm];
    for_each_block(vector_bytes(), [&](std::size_t at) {
        const BlockLanes<T> first = load_block<T>(a + at), second = load_block<T>(b + at);
        BlockLanes<T> out;
        for (unsigned j = 0; j < out.kCount; ++j)
            out.lane[j] = Op::apply(first.lane[j], second.lane[j]);
        store_block(d + at, out);
    });
}

// Zdn = Op(Zdn, imm) on every element.
template <typename Op, typename T> void binary_with_immediate(cpu_state &s, uint32_t zdn, T imm) {
    uint8_t *d = s.z[zdn];
    for_each_block(vector_bytes(), [&](std::size_t at) {
        BlockLanes<T> values = load_block<T>(d + at);
        for (unsigned j = 0; j < values.kCount; ++j)
            values.lane[j] = Op::apply(values.lane[j], imm);
        store_block(d + at, values);
    });
}

} // namespace ostrel::integer
