// Element function of ADR, shared by the fixed-length executor and the kernels: a base element
// plus a scaled offset, modulo the element size. No memory is touched.
#pragma once

#include <cstdint>

namespace ostrel::memory {

// Where an offset element's value comes from: the whole element, or its low 32 bits sign- or
// zero-extended (the SXTW and UXTW forms on doublewords).
enum class AdrOffset { whole, sxtw, uxtw };

template <AdrOffset Kind, typename T> constexpr uint64_t adr_offset(T element) {
    if constexpr (Kind == AdrOffset::sxtw)
        return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(element)));
    else if constexpr (Kind == AdrOffset::uxtw)
        return static_cast<uint32_t>(element);
    else
        return element;
}

// base + offset << shift (shift 0..3, a multiplier of 1, 2, 4 or 8), wrapping at T's width.
template <AdrOffset Kind, typename T> constexpr T adr_element(T base, T offset, unsigned shift) {
    return static_cast<T>(base + (adr_offset<Kind>(offset) << shift));
}

} // namespace ostrel::memory
