// Element addresses of gathers and scatters, shared by the fixed-length executors and the
// first-fault gather kernels. All arithmetic is 64-bit and wraps.
#pragma once

#include <cstdint>

#include "sve/exec/memory/address_generation.h"

namespace ostrel::memory {

// Vector plus immediate: the address element (zero-extended when it is 32 bits wide) plus the
// immediate in memory elements.
template <typename U> constexpr uint64_t vector_base_address(U base, unsigned imm, unsigned msize) {
    return uint64_t{base} + uint64_t{imm} * msize;
}

// Scalar plus vector: the base plus the offset element, taken whole or as its sign- or
// zero-extended low 32 bits, shifted by log2(msize) when scaled (shift 0 when not).
template <AdrOffset Kind, typename U>
constexpr uint64_t vector_offset_address(uint64_t base, U offset, unsigned shift) {
    return base + (adr_offset<Kind>(offset) << shift);
}

template <typename T>
constexpr unsigned kLog2Size = sizeof(T) == 1   ? 0
                               : sizeof(T) == 2 ? 1
                               : sizeof(T) == 4 ? 2
                                                : 3;

} // namespace ostrel::memory
