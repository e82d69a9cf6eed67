// Element loops of the integer executors at the process's vector length: element
// access, the element-size dispatch and the loop shapes (predicated with merging, for two or
// three sources; unpredicated; with an immediate). Each loop works a 16-byte block at a time,
// reading the sources' block before writing the destination's, so a source that is also the
// destination is read with its old value.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/client/cpu_state.h"
#include "sve/exec/vector_blocks.h"

namespace ostrel::integer {

template <typename T> inline T load_element(const uint8_t *reg, unsigned i) {
    T v;
    std::memcpy(&v, reg + i * sizeof(T), sizeof(T));
    return v;
}

template <typename T> inline void store_element(uint8_t *reg, unsigned i, T v) {
    std::memcpy(reg + i * sizeof(T), &v, sizeof(T));
}

// An element is active when bit 0 of the predicate byte at its first byte is set; the bytes of
// its other positions are not looked at.
template <typename T> inline bool element_active(const uint8_t *pred, unsigned i) {
    return (pred[i * sizeof(T)] & 1u) != 0;
}

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

// Zd, block by block, from the same block of each source: element(in, j, i) gives element j of
// the block (element i of the vector) from the blocks' copies in[0..N). Every source block is read
// before Zd's block is written, and an element depends only on the sources' elements at its own
// position, so a destination that is also a source is read with its old value. The element
// functions are total, so the merging loops compute every element and then choose, which keeps
// the loop free of branches.
template <typename T, unsigned N, typename Element>
inline void blockwise(uint8_t *zd, const uint8_t *const (&sources)[N], unsigned bytes,
                      Element &&element) {
    constexpr unsigned kPerBlock = kVectorBlockBytes / sizeof(T);
    for (unsigned at = 0; at < bytes; at += kVectorBlockBytes) {
        uint8_t in[N][kVectorBlockBytes];
        for (unsigned k = 0; k < N; ++k)
            std::memcpy(in[k], sources[k] + at, kVectorBlockBytes);
        for (unsigned j = 0; j < kPerBlock; ++j)
            store_element<T>(zd + at, j, element(in, j, at / sizeof(T) + j));
    }
}

// Zdn = Op(Zdn, Zm) on active elements; inactive elements keep Zdn.
template <typename Op, typename T>
void merging_binary(cpu_state &s, uint32_t zdn, uint32_t pg, uint32_t zm) {
    const uint8_t *pred = s.p[pg];
    blockwise<T>(s.z[zdn], {s.z[zdn], s.z[zm]}, vector_bytes(),
                 [pred](const uint8_t(*in)[kVectorBlockBytes], unsigned j, unsigned i) {
                     const T old = load_element<T>(in[0], j);
                     const T value = Op::apply(old, load_element<T>(in[1], j));
                     return element_active<T>(pred, i) ? value : old;
                 });
}

// Zd = Op(Zd, Zn, Zm) on active elements; inactive elements keep Zd.
template <typename Op, typename T>
void merging_ternary(cpu_state &s, uint32_t zd, uint32_t pg, uint32_t zn, uint32_t zm) {
    const uint8_t *pred = s.p[pg];
    blockwise<T>(s.z[zd], {s.z[zd], s.z[zn], s.z[zm]}, vector_bytes(),
                 [pred](const uint8_t(*in)[kVectorBlockBytes], unsigned j, unsigned i) {
                     const T old = load_element<T>(in[0], j);
                     const T value =
                         Op::apply(old, load_element<T>(in[1], j), load_element<T>(in[2], j));
                     return element_active<T>(pred, i) ? value : old;
                 });
}

// Zd = Op(Zn, Zm) on every element.
template <typename Op, typename T>
void unpredicated_binary(cpu_state &s, uint32_t zd, uint32_t zn, uint32_t zm) {
    blockwise<T>(s.z[zd], {s.z[zn], s.z[zm]}, vector_bytes(),
                 [](const uint8_t(*in)[kVectorBlockBytes], unsigned j, unsigned) {
                     return Op::apply(load_element<T>(in[0], j), load_element<T>(in[1], j));
                 });
}

// Zdn = Op(Zdn, imm) on every element.
template <typename Op, typename T> void binary_with_immediate(cpu_state &s, uint32_t zdn, T imm) {
    blockwise<T>(s.z[zdn], {s.z[zdn]}, vector_bytes(),
                 [imm](const uint8_t(*in)[kVectorBlockBytes], unsigned j, unsigned) {
                     return Op::apply(load_element<T>(in[0], j), imm);
                 });
}

} // namespace ostrel::integer
