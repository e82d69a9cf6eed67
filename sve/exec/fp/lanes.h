// One 16-byte block of half, single or double elements as a vector value ("lanes"): the unit the
// host-route loops hand to the host unit, so that an AArch64 host runs one vector instruction per
// block rather than one scalar instruction per element. Written with the compiler's generic
// vectors, which both hosts compile (to NEON or SSE) with identical results.
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/exec/vector_blocks.h"

namespace ostrel::fp {

// The block as lanes and its loads and stores are the shared ones (vector_blocks.h).
using ostrel::Lanes;
using ostrel::load_lanes;
using ostrel::store_lanes;

template <class T> constexpr unsigned kLaneCount = kVectorBlockBytes / sizeof(T);

template <class T> inline Lanes<T> broadcast(T value) {
    return Lanes<T>{} + value;
}

// All ones in the lanes whose element is active, zero elsewhere. An element is active when bit 0
// of the predicate byte at its first byte is set; read as one little-endian T, that is bit 0.
template <class T> inline Lanes<T> active_lanes(const uint8_t *pred_at) {
    return reinterpret_cast<Lanes<T>>((load_lanes<T>(pred_at) & T{1}) != 0);
}

// `yes` in the lanes where mask is all ones, `no` where it is zero (one bit select).
template <class T> inline Lanes<T> select(Lanes<T> mask, Lanes<T> yes, Lanes<T> no) {
    return (yes & mask) | (no & ~mask);
}

// The operand an inactive element contributes, so that only the active elements' flags
// accumulate: +0, on which sums, products, fused products, square roots, conversions and
// roundings are exact and raise nothing (one AND); or, for a divisor, +1.0.
template <class T> inline Lanes<T> active_or_zero(Lanes<T> active, Lanes<T> value) {
    return value & active;
}
template <class T>
constexpr T kOne = sizeof(T) == 2   ? T(0x3c00u)
                   : sizeof(T) == 4 ? T(0x3f800000u)
                                    : T(0x3ffull << 52);
template <class T> inline Lanes<T> active_or_one(Lanes<T> active, Lanes<T> value) {
    return select<T>(active, value, broadcast<T>(kOne<T>));
}

} // namespace ostrel::fp
