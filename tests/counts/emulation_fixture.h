// The register file helpers and the encodings of the element-count and move tests.
#pragma once

#include <cstdint>

#include "tests/support/register_file.h"

namespace counts_test {

using namespace ostrel::testing;

// Encodings, from the instruction set's field layouts (checked against the assembler).
namespace enc {
inline uint32_t cnt(unsigned size, unsigned rd, unsigned pattern, unsigned imm4) {
    return 0x0420e000u | size << 22 | imm4 << 16 | pattern << 5 | rd;
}
inline uint32_t incdec_x(unsigned size, bool dec, unsigned rdn, unsigned pattern, unsigned imm4) {
    return 0x0430e000u | size << 22 | imm4 << 16 | unsigned{dec} << 10 | pattern << 5 | rdn;
}
inline uint32_t incdec_z(unsigned size, bool dec, unsigned zdn, unsigned pattern, unsigned imm4) {
    return 0x0430c000u | size << 22 | imm4 << 16 | unsigned{dec} << 10 | pattern << 5 | zdn;
}
inline uint32_t rdvl(unsigned rd, int imm) {
    return 0x04bf5000u | (imm & 63u) << 5 | rd;
}
inline uint32_t addvl(unsigned rd, unsigned rn, int imm) {
    return 0x04205000u | rn << 16 | (imm & 63u) << 5 | rd;
}
inline uint32_t addpl(unsigned rd, unsigned rn, int imm) {
    return 0x04605000u | rn << 16 | (imm & 63u) << 5 | rd;
}
inline uint32_t dup_r(unsigned size, unsigned zd, unsigned rn) {
    return 0x05203800u | size << 22 | rn << 5 | zd;
}
inline uint32_t dup_i(unsigned size, unsigned zd, int imm8, bool lsl8) {
    return 0x2538c000u | size << 22 | unsigned{lsl8} << 13 | (imm8 & 0xffu) << 5 | zd;
}
// INDEX: base (imm5 or Rn) at bits 9..5, step (imm5 or Rm) at bits 20..16.
inline uint32_t index(unsigned size, bool base_reg, bool step_reg, unsigned zd, unsigned base,
                      unsigned step) {
    return 0x04204000u | size << 22 | (step & 31u) << 16 | unsigned{step_reg} << 11 |
           unsigned{base_reg} << 10 | (base & 31u) << 5 | zd;
}
} // namespace enc

} // namespace counts_test
