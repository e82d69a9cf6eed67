// Element loops of the integer executors at the process's vector length: element
// access, the element-size dispatch and the loop shapes (predicated with merging, for two or
// three sources; unpredicated; with an immediate). Each loop builds its result in a temporary
// and copies it over the destination, so a source that is also the destination is read with its
// old value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sve/client/cpu_state.h"
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

// Zdn = Op(Zdn, Zm) on active elements; inactive elements keep Zdn. Op runs on every element and
// the predicate picks, so Op must be defined for any operands (none here traps).
template <typename Op, typename T>
void merging_binary(cpu_state &s, uint32_t zdn, uint32_t pg, uint32_t zm) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *a = s.z[zdn], *b = s.z[zm], *pred = s.p[pg];
    for_each_element<T>(bytes, [&](std::size_t i) {
        const T old = load_element<T>(a, i);
        store_element<T>(
            result, i, blend(active_mask<T>(pred, i), Op::apply(old, load_element<T>(b, i)), old));
    });
    copy_vector(s.z[zdn], result, bytes);
}

// Zd = Op(Zd, Zn, Zm) on active elements; inactive elements keep Zd.
template <typename Op, typename T>
void merging_ternary(cpu_state &s, uint32_t zd, uint32_t pg, uint32_t zn, uint32_t zm) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *d = s.z[zd], *a = s.z[zn], *b = s.z[zm], *pred = s.p[pg];
    for_each_element<T>(bytes, [&](std::size_t i) {
        const T old = load_element<T>(d, i);
        const T value = Op::apply(old, load_element<T>(a, i), load_element<T>(b, i));
        store_element<T>(result, i, blend(active_mask<T>(pred, i), value, old));
    });
    copy_vector(s.z[zd], result, bytes);
}

// Zd = Op(Zn, Zm) on every element, one 16-byte block at a time: both sources' blocks are copied
// before Zd's block is written (Zd may be a source), and no whole-vector temporary is needed.
template <typename Op, typename T>
void unpredicated_binary(cpu_state &s, uint32_t zd, uint32_t zn, uint32_t zm) {
    constexpr unsigned kPerBlock = kVectorBlockBytes / sizeof(T);
    const unsigned bytes = vector_bytes();
    uint8_t *d = s.z[zd];
    const uint8_t *a = s.z[zn], *b = s.z[zm];
    for (unsigned at = 0; at < bytes; at += kVectorBlockBytes) {
        uint8_t in_a[kVectorBlockBytes], in_b[kVectorBlockBytes], out[kVectorBlockBytes];
        std::memcpy(in_a, a + at, kVectorBlockBytes);
        std::memcpy(in_b, b + at, kVectorBlockBytes);
        for (unsigned j = 0; j < kPerBlock; ++j)
            store_element<T>(out, j, Op::apply(load_element<T>(in_a, j), load_element<T>(in_b, j)));
        std::memcpy(d + at, out, kVectorBlockBytes);
    }
}

// Zdn = Op(Zdn, imm) on every element.
template <typename Op, typename T> void binary_with_immediate(cpu_state &s, uint32_t zdn, T imm) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *a = s.z[zdn];
    for_each_element<T>(bytes, [&](std::size_t i) {
        store_element<T>(result, i, Op::apply(load_element<T>(a, i), imm));
    });
    copy_vector(s.z[zdn], result, bytes);
}

} // namespace ostrel::integer
