// Running one encoding through the lookup on a register file, and comparing whole register files,
// for the element-count and move tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "sve/decode/decode_rows.h"

namespace counts_test {

constexpr unsigned kBytes = ostrel::kVectorBytes;

// A register file of random contents. Predicate and FFR bytes hold 0 or 1 and NZCV only its 32-bit
// part, as the kernel road leaves them, so a whole-file comparison sees only real changes.
inline std::unique_ptr<cpu_state> random_state(uint32_t seed) {
    auto s = std::make_unique<cpu_state>();
    std::mt19937_64 rng(seed);
    auto *bytes = reinterpret_cast<unsigned char *>(s.get());
    for (std::size_t i = 0; i < sizeof(cpu_state); ++i)
        bytes[i] = static_cast<unsigned char>(rng());
    for (auto &p : s->p)
        for (auto &b : p)
            b &= 1;
    for (auto &b : s->ffr)
        b &= 1;
    s->nzcv &= 0xf0000000u;
    s->pc = nullptr;
    return s;
}

// Emulates one instruction through the handler the lookup returns for it.
inline aarch64_decode_rc emulate(cpu_state &s, uint32_t encoding) {
    const sve_handler_t handler = get_sve_handler(encoding);
    if (handler == nullptr) {
        ADD_FAILURE() << "no handler for " << std::hex << encoding;
        return DECODE_UNIMPLEMENTED;
    }
    return handler(&s, encoding);
}

// Element i (of `bytes` bytes) of a Z register, zero-extended.
inline uint64_t z_element(const cpu_state &s, unsigned reg, unsigned bytes, unsigned i) {
    uint64_t v = 0;
    std::memcpy(&v, s.z[reg] + i * bytes, bytes);
    return v;
}
inline void set_z_element(cpu_state &s, unsigned reg, unsigned bytes, unsigned i, uint64_t v) {
    std::memcpy(s.z[reg] + i * bytes, &v, bytes);
}

inline uint64_t low_bits(uint64_t v, unsigned bytes) {
    return bytes == 8 ? v : v & ((uint64_t{1} << (8 * bytes)) - 1);
}

// "" when equal, else the first differing fields by name.
inline std::string state_difference(const cpu_state &got, const cpu_state &want) {
    std::ostringstream out;
    out << std::hex;
    for (unsigned r = 0; r < ostrel::kNumXRegs; ++r)
        if (got.x[r] != want.x[r])
            out << " x" << std::dec << r << std::hex << "=" << got.x[r] << " want " << want.x[r];
    if (got.sp != want.sp) out << " sp=" << got.sp << " want " << want.sp;
    if (got.nzcv != want.nzcv) out << " nzcv=" << got.nzcv << " want " << want.nzcv;
    if (got.fpsr != want.fpsr || got.fpcr != want.fpcr) out << " fpsr/fpcr";
    for (unsigned r = 0; r < ostrel::kNumZRegs; ++r)
        for (unsigned b = 0; b < kBytes; ++b)
            if (got.z[r][b] != want.z[r][b]) {
                out << " z" << std::dec << r << " byte " << b << std::hex << "="
                    << unsigned{got.z[r][b]} << " want " << unsigned{want.z[r][b]};
                break;
            }
    if (std::memcmp(got.p, want.p, sizeof got.p) != 0) out << " p registers";
    if (std::memcmp(got.ffr, want.ffr, sizeof got.ffr) != 0) out << " ffr";
    if (got.encoding != want.encoding)
        out << " encoding=" << got.encoding << " want " << want.encoding;
    if (got.pc != want.pc) out << " pc";
    return out.str();
}

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
