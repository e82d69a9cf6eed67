// Element loops of the fixed-length executors that element_loops.h does not cover: unary
// operations (Zd, Pg/M, Zn) and shifts by an immediate, predicated in place or unpredicated
// into another register. Like those loops they build the result in a temporary first.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/exec/integer/element_loops.h"

namespace ostrel::logical {

using integer::active_mask;
using integer::blend;
using integer::element_count;
using integer::for_each_element;
using integer::load_element;
using integer::store_element;

// Zd = Op(Zn) on active elements; inactive elements keep Zd.
template <typename Op, typename T>
void merging_unary(cpu_state &s, uint32_t zd, uint32_t pg, uint32_t zn) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *dst = s.z[zd], *src = s.z[zn], *pred = s.p[pg];
    for_each_element<T>(bytes, [&](std::size_t i) {
        store_element<T>(result, i,
                         blend(active_mask<T>(pred, i), Op::apply(load_element<T>(src, i)),
                               load_element<T>(dst, i)));
    });
    copy_vector(s.z[zd], result, bytes);
}

// Zdn = Op(Zdn, imm) on active elements; inactive elements keep Zdn.
template <typename Op, typename T>
void merging_with_immediate(cpu_state &s, uint32_t zdn, uint32_t pg, uint64_t imm) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *a = s.z[zdn], *pred = s.p[pg];
    for_each_element<T>(bytes, [&](std::size_t i) {
        const T old = load_element<T>(a, i);
        store_element<T>(result, i, blend(active_mask<T>(pred, i), Op::apply(old, imm), old));
    });
    copy_vector(s.z[zdn], result, bytes);
}

// Zd = Op(Zn, imm) on every element.
template <typename Op, typename T>
void unpredicated_with_immediate(cpu_state &s, uint32_t zd, uint32_t zn, uint64_t imm) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *a = s.z[zn];
    for_each_element<T>(bytes, [&](std::size_t i) {
        store_element<T>(result, i, Op::apply(load_element<T>(a, i), imm));
    });
    copy_vector(s.z[zd], result, bytes);
}

} // namespace ostrel::logical
