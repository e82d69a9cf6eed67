// Element loops of the fixed-length executors that element_loops.h does not cover: unary
// operations (Zd, Pg/M, Zn) and shifts by an immediate, predicated in place or unpredicated
// into another register. Like those loops they work block by block in place.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/exec/integer/element_loops.h"

namespace ostrel::logical {

using integer::active_lanes;
using integer::active_mask;
using integer::blend;
using integer::element_count;
using integer::for_each_element;
using integer::load_element;
using integer::store_element;

// Zd = Op(Zn) on active elements; inactive elements keep Zd.
template <typename Op, typename T>
void merging_unary(cpu_state &s, uint32_t zd, uint32_t pg, uint32_t zn) {
    const uint8_t *src = s.z[zn];
    integer::merge_into_blocks<T>(s, zd, pg, [&](const BlockLanes<T> &, std::size_t at) {
        BlockLanes<T> values = load_block<T>(src + at);
        for (unsigned j = 0; j < values.kCount; ++j)
            values.lane[j] = Op::apply(values.lane[j]);
        return values;
    });
}

// Zdn = Op(Zdn, imm) on active elements; inactive elements keep Zdn.
template <typename Op, typename T>
void merging_with_immediate(cpu_state &s, uint32_t zdn, uint32_t pg, uint64_t imm) {
    integer::merge_into_blocks<T>(s, zdn, pg, [&](const BlockLanes<T> &old, std::size_t) {
        BlockLanes<T> out;
        for (unsigned j = 0; j < out.kCount; ++j)
            out.lane[j] = Op::apply(old.lane[j], imm);
        return out;
    });
}

// Zd = Op(Zn, imm) on every element.
template <typename Op, typename T>
void unpredicated_with_immediate(cpu_state &s, uint32_t zd, uint32_t zn, uint64_t imm) {
    uint8_t *d = s.z[zd];
    const uint8_t *a = s.z[zn];
    for_each_block(vector_bytes(), [&](std::size_t at) {
        BlockLanes<T> values = load_block<T>(a + at);
        for (unsigned j = 0; j < values.kCount; ++j)
            values.lane[j] = Op::apply(values.lane[j], imm);
        store_block(d + at, values);
    });
}

} // namespace ostrel::logical
