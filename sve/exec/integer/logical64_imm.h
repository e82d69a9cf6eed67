// The bitmask immediate of AND, ORR, EOR and DUPM on Z registers, and its expansion from the
// encoding's N:immr:imms fields.
#pragma once

#include <cstdint>

// The bitmask immediate as the 64-bit pattern it stands for. The executors apply it to every
// 64-bit lane of a register, whatever element size the instruction names: the pattern already
// repeats with the element size.
struct aarch64_sve_logical64_imm {
    uint64_t value;
};

namespace ostrel {

// The element size and 64-bit pattern of a bitmask immediate; esize 0 marks an unallocated
// combination of the fields (no element size, or an all-ones element).
struct DecodedBitMask {
    unsigned esize; // 2, 4, 8, 16, 32 or 64 bits
    uint64_t pattern;
};

// The architecture's DecodeBitMasks for the immediate forms: the element size comes from the
// highest set bit of N:NOT(imms); the element holds imms+1 (within the size) consecutive ones
// rotated right by immr, and is replicated to 64 bits.
constexpr DecodedBitMask decode_bit_masks(unsigned n, unsigned immr, unsigned imms) {
    const unsigned combined = (n & 1u) << 6 | (~imms & 0x3fu);
    int len = -1;
    for (int bit = 6; bit >= 0; --bit)
        if (combined & (1u << bit)) {
            len = bit;
            break;
        }
    if (len < 1) return {0, 0};
    const unsigned esize = 1u << len;
    const unsigned levels = esize - 1;
    const unsigned s = imms & levels;
    const unsigned r = immr & levels;
    if (s == levels) return {0, 0};
    const uint64_t element_mask = esize == 64 ? ~uint64_t{0} : (uint64_t{1} << esize) - 1;
    const uint64_t welem = (uint64_t{1} << (s + 1)) - 1; // s + 1 <= 63
    const uint64_t rotated =
        r == 0 ? welem : ((welem >> r) | (welem << (esize - r))) & element_mask;
    uint64_t pattern = 0;
    for (unsigned pos = 0; pos < 64; pos += esize)
        pattern |= rotated << pos;
    return {esize, pattern};
}

// The same from the 13-bit field N:immr:imms as it sits in the encoding (N at bit 12).
constexpr DecodedBitMask decode_bit_masks(uint32_t imm13) {
    return decode_bit_masks(imm13 >> 12 & 1u, imm13 >> 6 & 0x3fu, imm13 & 0x3fu);
}

} // namespace ostrel
