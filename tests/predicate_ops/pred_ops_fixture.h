// Helpers of the predicate-operation tests: predicates written as lists of set bytes or
// elements, and the flag word of PredTest spelled out from its three observations.
#pragma once

#include <initializer_list>

#include "tests/predicate/predicate_fixture.h"

namespace ostrel::test {

using Pred = std::vector<uint8_t>;

// Bytes whose bit is set; every other byte 0.
inline Pred bytes_at(std::initializer_list<unsigned> set) {
    Pred p(kVectorBytes, 0);
    for (unsigned b : set)
        p[b] = 1;
    return p;
}
// Bytes first .. last (inclusive) set.
inline Pred byte_range(unsigned first, unsigned last) {
    Pred p(kVectorBytes, 0);
    for (unsigned b = first; b <= last; ++b)
        p[b] = 1;
    return p;
}
// Elements of 1 << size bytes set at their first byte.
inline Pred elements_at(unsigned size, std::initializer_list<unsigned> set) {
    Pred p(kVectorBytes, 0);
    for (unsigned e : set)
        p[e << size] = 1;
    return p;
}
inline Pred all_true() {
    return Pred(kVectorBytes, 1);
}
inline Pred all_false() {
    return Pred(kVectorBytes, 0);
}

inline void set_pred(cpu_state &s, unsigned num, const Pred &p) {
    std::memcpy(s.p[num], p.data(), kVectorBytes);
}

// NZCV from what PredTest observes: whether any element is active, and the first active
// element's result, any active result and the last active element's result.
inline uint64_t pred_test(bool any_active, bool first, bool any, bool last) {
    if (!any_active) return Z | C;
    return (first ? N : 0) | (any ? 0 : Z) | (last ? 0 : C);
}

} // namespace ostrel::test
