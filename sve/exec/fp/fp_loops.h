// Element loops of the host-route floating-point executors at the process's length. Each loop
// builds its result in a temporary and copies it over the destination at the end, so a source
// that is also the destination is read with its old value throughout.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/exec/integer/element_loops.h"

namespace ostrel::fp {

using integer::element_active;
using integer::element_count;
using integer::load_element;
using integer::store_element;

// Calls fn(T{}) with the element bit pattern of a size code: 3 double, anything else single (the
// decoder sends only 2 and 3 here).
template <typename Fn> inline void with_fp_type(uint32_t size_code, Fn &&fn) {
    if (size_code == 3)
        fn(uint64_t{});
    else
        fn(uint32_t{});
}

template <class T> inline T element(const cpu_state &s, uint32_t reg, unsigned i) {
    return load_element<T>(s.z[reg], i);
}

template <class T> constexpr T kSignBit = T(1) << (sizeof(T) * 8 - 1);
template <class T> constexpr bool negative(T v) {
    return (v & kSignBit<T>) != 0;
}
template <class T> constexpr T negate(T v) {
    return v ^ kSignBit<T>;
}

// Zd element i = op(i) where Pg is active, Zd's old element elsewhere.
template <class T, class Op> void merge_into(cpu_state &s, uint32_t zd, uint32_t pg, Op op) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    for_each_element<T>(bytes, [&](unsigned i) {
        store_element<T>(result, i, element_active<T>(s.p[pg], i) ? op(i) : element<T>(s, zd, i));
    });
    copy_vector(s.z[zd], result, bytes);
}

// Zd element i = op(i) for every element.
template <class T, class Op> void compute_all(cpu_state &s, uint32_t zd, Op op) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes];
    for_each_element<T>(bytes, [&](unsigned i) { store_element<T>(result, i, op(i)); });
    copy_vector(s.z[zd], result, bytes);
}

// Pd: 1 or 0 in the first byte of each active element, 0 in every other byte.
template <class T, class Test>
void compare_into(cpu_state &s, uint32_t pd, uint32_t pg, Test test) {
    const unsigned bytes = vector_bytes();
    uint8_t result[kMaxVectorBytes] = {};
    for_each_element<T>(bytes, [&](unsigned i) {
        if (element_active<T>(s.p[pg], i)) result[i * sizeof(T)] = test(i) ? 1 : 0;
    });
    copy_vector(s.p[pd], result, bytes);
}

} // namespace ostrel::fp
