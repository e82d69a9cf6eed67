// Bit functions of the architecture's pseudocode on the low N bits of a 64-bit word: highest set
// bit, leading zero and sign bits, population count and bit and byte-unit reversal.
#pragma once

#include <cstdint>

#include "sve/exec/integer/int_arith.h"

namespace ostrel {

// Index of the highest set bit among bits 0..N-1, or -1 when there is none (or N < 1).
inline int HighestBitSet(uint64_t x, int n) {
    if (n < 1) return -1;
    uint64_t masked = x & ones(n);
    return masked == 0 ? -1 : 63 - __builtin_clzll(masked);
}

inline int CountLeadingZeroBits(uint64_t x, int n) {
    return n - 1 - HighestBitSet(x, n);
}

// Bit i of the difference word is set where bits i and i+1 of x differ, so its leading zeros
// below the sign bit count the bits that repeat the sign.
inline int CountLeadingSignBits(uint64_t x, int n) {
    uint64_t differs = (x ^ (x >> 1)) & ~(uint64_t{1} << 63);
    return CountLeadingZeroBits(differs, n - 1);
}

inline uint64_t BitCount(uint64_t x, int n) {
    if (n < 1) return 0;
    return static_cast<uint64_t>(__builtin_popcountll(x & ones(n)));
}

// All 64 bits in reverse order: bytes by a byte swap, then the bits inside each byte.
inline uint64_t ReverseBits64(uint64_t x) {
    x = __builtin_bswap64(x);
    x = ((x >> 4) & 0x0f0f0f0f0f0f0f0fULL) | ((x & 0x0f0f0f0f0f0f0f0fULL) << 4);
    x = ((x >> 2) & 0x3333333333333333ULL) | ((x & 0x3333333333333333ULL) << 2);
    x = ((x >> 1) & 0x5555555555555555ULL) | ((x & 0x5555555555555555ULL) << 1);
    return x;
}

// Bit i of the low N bits goes to bit N-1-i. For N > 64 only the bits that land in the low word
// remain.
inline uint64_t BitReverse(uint64_t x, int n) {
    if (n < 1) return 0;
    if (n <= 64) return ReverseBits64(x & ones(n)) >> (64 - n);
    return n - 64 >= 64 ? 0 : ReverseBits64(x) << (n - 64);
}

// Reverses the order of the u-byte units (u = 1, 2 or 4) inside the low N bits.
inline uint64_t Reverse(uint64_t x, int n, int u) {
    if (u != 1 && u != 2 && u != 4) return 0;
    int unit_bits = 8 * u;
    int count = n / unit_bits;
    if (count < 1) return 0;
    uint64_t result = 0;
    for (int k = 0; k < count; ++k) {
        int from = k * unit_bits;
        int to = (count - 1 - k) * unit_bits;
        if (from >= 64 || to >= 64) continue; // units outside the word are zero or fall off
        result |= ((x >> from) & ones(unit_bits)) << to;
    }
    return result;
}

// Carry-less product of a and b over GF(2): the 128-bit XOR of a shifted by each set bit of b.
u128 PolynomialMult(uint64_t a, uint64_t b);

} // namespace ostrel
