// Element functions of the integer reductions, shared by the fixed-length executors and the
// kernels. A fold starts from its identity, so a reduction with no active element yields it.
// Accumulators are 64-bit words; the result keeps the low esize bits (64 for the sums). merge
// combines the accumulators of two folds over separate parts of a vector (each fold is
// associative and commutative, so the parts may be any split of the elements); outside the sums
// an accumulator only ever holds an element's value, which apply takes as an element again.
#pragma once

#include <cstdint>
#include <type_traits>

#include "sve/exec/integer/int_helpers.h"

namespace ostrel::integer {

// SADDV: the sum of the sign-extended elements, 64 bits wide.
template <typename T> struct SignedAddFold {
    static constexpr uint64_t kIdentity = 0;
    static uint64_t apply(uint64_t acc, T e) {
        return acc + static_cast<uint64_t>(static_cast<std::make_signed_t<T>>(e));
    }
    static uint64_t merge(uint64_t a, uint64_t b) { return a + b; }
};
template <typename T> constexpr int kBits = static_cast<int>(sizeof(T) * 8);

// SMAXV, UMAXV, SMINV, UMINV: the identity is the value every element beats or ties.
template <typename T, int Unsigned> struct MaxFold {
    static constexpr uint64_t kIdentity =
        Unsigned == kUnsigned ? 0 : uint64_t{1} << (kBits<T> - 1); // the signed minimum
    static uint64_t apply(uint64_t acc, T e) { return Max(acc, e, kBits<T>, Unsigned); }
    static uint64_t merge(uint64_t a, uint64_t b) { return apply(a, static_cast<T>(b)); }
};
template <typename T, int Unsigned> struct MinFold {
    static constexpr uint64_t kIdentity =
        Unsigned == kUnsigned ? T(~T{0}) : T(~T{0}) >> 1; // all ones, or the signed maximum
    static uint64_t apply(uint64_t acc, T e) { return Min(acc, e, kBits<T>, Unsigned); }
    static uint64_t merge(uint64_t a, uint64_t b) { return apply(a, static_cast<T>(b)); }
};

template <typename T> struct AndFold {
    static constexpr uint64_t kIdentity = T(~T{0});
    static uint64_t apply(uint64_t acc, T e) { return acc & e; }
    static uint64_t merge(uint64_t a, uint64_t b) { return apply(a, static_cast<T>(b)); }
};
template <typename T> struct OrFold {
    static constexpr uint64_t kIdentity = 0;
    static uint64_t apply(uint64_t acc, T e) { return acc | e; }
    static uint64_t merge(uint64_t a, uint64_t b) { return apply(a, static_cast<T>(b)); }
};
template <typename T> struct XorFold {
    static constexpr uint64_t kIdentity = 0;
    static uint64_t apply(uint64_t acc, T e) { return acc ^ e; }
    static uint64_t merge(uint64_t a, uint64_t b) { return apply(a, static_cast<T>(b)); }
};

} // namespace ostrel::integer
