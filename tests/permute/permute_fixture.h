// Running one encoding through the lookup on a random register file, element access, predicate
// patterns and the encodings of the permute, move and element-selection instructions.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "sve/decode/decode_rows.h"

namespace permute_test {

constexpr unsigned kBytes = ostrel::kVectorBytes;

// Predicate and FFR bytes hold 0 or 1 and NZCV only its 32-bit part, as the kernel road leaves
// them, so a whole-file comparison sees only real changes.
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

inline aarch64_decode_rc emulate(cpu_state &s, uint32_t encoding) {
    const sve_handler_t handler = get_sve_handler(encoding);
    if (handler == nullptr) {
        ADD_FAILURE() << "no handler for " << std::hex << encoding;
        return DECODE_UNIMPLEMENTED;
    }
    return handler(&s, encoding);
}

inline uint64_t elem(const cpu_state &s, unsigned reg, unsigned bytes, unsigned i) {
    uint64_t v = 0;
    std::memcpy(&v, s.z[reg] + i * bytes, bytes);
    return v;
}
inline void set_elem(cpu_state &s, unsigned reg, unsigned bytes, unsigned i, uint64_t v) {
    std::memcpy(s.z[reg] + i * bytes, &v, bytes);
}
inline uint64_t low_bits(uint64_t v, unsigned bytes) {
    return bytes == 8 ? v : v & ((uint64_t{1} << (8 * bytes)) - 1);
}
inline int64_t sign_extend(uint64_t v, unsigned bytes) {
    const unsigned shift = 64 - 8 * bytes;
    return static_cast<int64_t>(v << shift) >> shift;
}

// Predicate patterns by element: which elements of `n` are active.
enum class Pattern { none, all, first_only, last_only, alternate, middle_run, sparse };
inline const Pattern kPatterns[] = {Pattern::none,      Pattern::all,       Pattern::first_only,
                                    Pattern::last_only, Pattern::alternate, Pattern::middle_run,
                                    Pattern::sparse};
inline bool pattern_active(Pattern p, unsigned i, unsigned n) {
    switch (p) {
    case Pattern::none:
        return false;
    case Pattern::all:
        return true;
    case Pattern::first_only:
        return i == 0;
    case Pattern::last_only:
        return i == n - 1;
    case Pattern::alternate:
        return i % 2 == 1;
    case Pattern::middle_run:
        return i >= n / 3 && i < n / 2;
    case Pattern::sparse:
        return i % 7 == 3;
    }
    return false;
}
// Writes the pattern into P register `reg` for elements of `bytes` bytes. The bytes of an
// element's other positions get noise: only the first byte of an element may count.
inline void set_pattern(cpu_state &s, unsigned reg, unsigned bytes, Pattern p) {
    const unsigned n = kBytes / bytes;
    for (unsigned i = 0; i < n; ++i)
        for (unsigned b = 0; b < bytes; ++b)
            s.p[reg][i * bytes + b] = b == 0 ? pattern_active(p, i, n) : (i + b) & 1;
}

// The state with only the encoding field taken from `got`: the tests check what the instruction
// does, whichever road it takes.
inline std::string state_difference(const cpu_state &got, cpu_state want) {
    want.encoding = got.encoding;
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
    if (got.pc != want.pc) out << " pc";
    return out.str();
}

// Encodings, from the instruction set's field layouts (checked against the assembler).
namespace enc {
// ZIP1, ZIP2, UZP1, UZP2, TRN1, TRN2 by opc 0..5; TBL.
inline uint32_t permute3(unsigned opc, unsigned size, unsigned zd, unsigned zn, unsigned zm) {
    return 0x05206000u | size << 22 | zm << 16 | opc << 10 | zn << 5 | zd;
}
inline uint32_t tbl(unsigned size, unsigned zd, unsigned zn, unsigned zm) {
    return 0x05203000u | size << 22 | zm << 16 | zn << 5 | zd;
}
inline uint32_t rev(unsigned size, unsigned zd, unsigned zn) {
    return 0x05383800u | size << 22 | zn << 5 | zd;
}
inline uint32_t ext(unsigned zdn, unsigned zm, unsigned imm8) {
    return 0x05200000u | (imm8 >> 3) << 16 | (imm8 & 7u) << 10 | zm << 5 | zdn;
}
// SUNPKLO, SUNPKHI, UUNPKLO, UUNPKHI by (unsigned, high); size is the wide element size.
inline uint32_t unpack(bool is_unsigned, bool high, unsigned size, unsigned zd, unsigned zn) {
    return 0x05303800u | size << 22 | unsigned{is_unsigned} << 17 | unsigned{high} << 16 | zn << 5 |
           zd;
}
inline uint32_t sel(unsigned size, unsigned zd, unsigned pg, unsigned zn, unsigned zm) {
    return 0x0520c000u | size << 22 | zm << 16 | pg << 10 | zn << 5 | zd;
}
inline uint32_t insr_r(unsigned size, unsigned zdn, unsigned rm) {
    return 0x05243800u | size << 22 | rm << 5 | zdn;
}
inline uint32_t insr_v(unsigned size, unsigned zdn, unsigned vm) {
    return 0x05343800u | size << 22 | vm << 5 | zdn;
}
// LASTA (b = false) and LASTB to a general or a SIMD&FP register.
inline uint32_t last_r(bool b, unsigned size, unsigned rd, unsigned pg, unsigned zn) {
    return 0x0520a000u | size << 22 | unsigned{b} << 16 | pg << 10 | zn << 5 | rd;
}
inline uint32_t last_v(bool b, unsigned size, unsigned vd, unsigned pg, unsigned zn) {
    return 0x05228000u | size << 22 | unsigned{b} << 16 | pg << 10 | zn << 5 | vd;
}
// CLASTA (b = false) and CLASTB to a general register, a SIMD&FP register, a vector.
inline uint32_t clast_r(bool b, unsigned size, unsigned rdn, unsigned pg, unsigned zm) {
    return 0x0530a000u | size << 22 | unsigned{b} << 16 | pg << 10 | zm << 5 | rdn;
}
inline uint32_t clast_v(bool b, unsigned size, unsigned vdn, unsigned pg, unsigned zm) {
    return 0x052a8000u | size << 22 | unsigned{b} << 16 | pg << 10 | zm << 5 | vdn;
}
inline uint32_t clast_z(bool b, unsigned size, unsigned zdn, unsigned pg, unsigned zm) {
    return 0x05288000u | size << 22 | unsigned{b} << 16 | pg << 10 | zm << 5 | zdn;
}
inline uint32_t splice(unsigned size, unsigned zdn, unsigned pg, unsigned zm) {
    return 0x052c8000u | size << 22 | pg << 10 | zm << 5 | zdn;
}
// COMPACT exists for words (size 2) and doublewords (size 3).
inline uint32_t compact(unsigned size, unsigned zd, unsigned pg, unsigned zn) {
    return 0x05a18000u | (size - 2) << 22 | pg << 10 | zn << 5 | zd;
}
// DUP (indexed): size 0..4, index below 64 >> size.
inline uint32_t dup_indexed(unsigned size, unsigned zd, unsigned zn, unsigned index) {
    const unsigned imm = (index << (size + 1) | 1u << size) & 0x7f;
    return 0x05202000u | (imm >> 5) << 22 | (imm & 31u) << 16 | zn << 5 | zd;
}
inline uint32_t cpy_i(unsigned size, unsigned zd, unsigned pg, bool merging, int imm8, bool lsl8) {
    return 0x05100000u | size << 22 | pg << 16 | unsigned{merging} << 14 | unsigned{lsl8} << 13 |
           (static_cast<unsigned>(imm8) & 0xffu) << 5 | zd;
}
inline uint32_t cpy_r(unsigned size, unsigned zd, unsigned pg, unsigned rn) {
    return 0x0528a000u | size << 22 | pg << 10 | rn << 5 | zd;
}
inline uint32_t cpy_v(unsigned size, unsigned zd, unsigned pg, unsigned vn) {
    return 0x05208000u | size << 22 | pg << 10 | vn << 5 | zd;
}
inline uint32_t movprfx_p(unsigned size, unsigned zd, unsigned pg, bool merging, unsigned zn) {
    return 0x04102000u | size << 22 | unsigned{merging} << 16 | pg << 10 | zn << 5 | zd;
}
inline uint32_t movprfx(unsigned zd, unsigned zn) {
    return 0x0420bc00u | zn << 5 | zd;
}
} // namespace enc

} // namespace permute_test
