// The relations of the integer compares, shared by the fixed-length executors and the kernels.
// Both sides are widened to 64 bits first (sign- or zero-extended by the relation's signedness),
// so one relation serves vectors, immediates and the 64-bit elements of a wide compare alike.
#pragma once

#include <cstdint>
#include <type_traits>

#include "sve/exec/vector_blocks.h"

namespace ostrel::integer {

enum class Relation { eq, ne, gt, ge, lt, le };

// An element's bits as a 64-bit number: sign-extended when Signed, zero-extended otherwise.
template <bool Signed, typename T> constexpr auto widen(T v) {
    static_assert(std::is_unsigned_v<T>, "elements are unsigned");
    if constexpr (Signed)
        return static_cast<int64_t>(static_cast<std::make_signed_t<T>>(v));
    else
        return static_cast<uint64_t>(v);
}

template <Relation R, typename V> constexpr bool holds(V a, V b) {
    switch (R) {
    case Relation::eq:
        return a == b;
    case Relation::ne:
        return a != b;
    case Relation::gt:
        return a > b;
    case Relation::ge:
        return a >= b;
    case Relation::lt:
        return a < b;
    case Relation::le:
        return a <= b;
    }
    return false;
}

// holds() on vector-extension lanes: each comparison is a vector of lane masks.
template <Relation R, typename V> inline auto holds_lanes(V a, V b) {
    if constexpr (R == Relation::eq)
        return a == b;
    else if constexpr (R == Relation::ne)
        return a != b;
    else if constexpr (R == Relation::gt)
        return a > b;
    else if constexpr (R == Relation::ge)
        return a >= b;
    else if constexpr (R == Relation::lt)
        return a < b;
    else
        return a <= b;
}

// Element a against element b of the same width.
template <Relation R, bool Signed, typename T> constexpr bool compare_elements(T a, T b) {
    return holds<R>(widen<Signed>(a), widen<Signed>(b));
}

// Element a against a 64-bit value (an immediate already at the relation's signedness, or an
// element of the wide second source).
template <Relation R, bool Signed, typename T> constexpr bool compare_wide(T a, uint64_t b) {
    using V = std::conditional_t<Signed, int64_t, uint64_t>;
    return holds<R>(static_cast<V>(widen<Signed>(a)), static_cast<V>(b));
}

// A relation on the 16-byte blocks of a vector, all lanes at once: all ones in a lane where it
// holds, zero where not. Lanes of unsigned elements are compared at the relation's signedness by
// a bit-for-bit view as signed lanes.
using ostrel::Lanes;

template <Relation R, bool Signed, typename T>
inline Lanes<T> compare_lanes(Lanes<T> a, Lanes<T> b) {
    static_assert(std::is_unsigned_v<T>, "elements are unsigned");
    using S = std::make_signed_t<T>;
    if constexpr (Signed) {
        // Casts between vector types of one size keep the bits.
        return (Lanes<T>)holds_lanes<R>((Lanes<S>)a, (Lanes<S>)b);
    } else {
        return (Lanes<T>)holds_lanes<R>(a, b);
    }
}

} // namespace ostrel::integer
