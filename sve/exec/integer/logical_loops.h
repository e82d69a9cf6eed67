// Element loops of the fixed-length executors that element_loops.h does not cover: unary
// operations (Zd, Pg/M, Zn) and shifts by an immediate, predicated in place or unpredicated
// into another register. Like those loops they work a block at a time, sources first.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/exec/integer/element_loops.h"

namespace ostrel::logical {

using integer::blockwise;
using integer::element_active;
using integer::element_count;
using integer::load_element;
using integer::store_element;

// Zd = Op(Zn) on active elements; inactive elements keep Zd.
template <typename Op, typename T>
void merging_unary(cpu_state &s, uint32_t zd, uint32_t pg, uint32_t zn) {
    const uint8_t *pred = s.p[pg];
    blockwise<T>(s.z[zd], {s.z[zd], s.z[zn]}, vector_bytes(),
                 [pred](const uint8_t(*in)[kVectorBlockBytes], unsigned j, unsigned i) {
                     const T value = Op::apply(load_element<T>(in[1], j));
                     return element_active<T>(pred, i) ? value : load_element<T>(in[0], j);
                 });
}

// Zdn = Op(Zdn, imm) on active elements; inactive elements keep Zdn.
template <typename Op, typename T>
void merging_with_immediate(cpu_state &s, uint32_t zdn, uint32_t pg, uint64_t imm) {
    const uint8_t *pred = s.p[pg];
    blockwise<T>(s.z[zdn], {s.z[zdn]}, vector_bytes(),
                 [pred, imm](const uint8_t(*in)[kVectorBlockBytes], unsigned j, unsigned i) {
                     const T old = load_element<T>(in[0], j);
                     const T value = static_cast<T>(Op::apply(old, imm));
                     return element_active<T>(pred, i) ? value : old;
                 });
}

// Zd = Op(Zn, imm) on every element.
template <typename Op, typename T>
void unpredicated_with_immediate(cpu_state &s, uint32_t zd, uint32_t zn, uint64_t imm) {
    blockwise<T>(s.z[zd], {s.z[zn]}, vector_bytes(),
                 [imm](const uint8_t(*in)[kVectorBlockBytes], unsigned j, unsigned) {
                     return static_cast<T>(Op::apply(load_element<T>(in[0], j), imm));
                 });
}

} // namespace ostrel::logical
