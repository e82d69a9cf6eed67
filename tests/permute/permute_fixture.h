// Predicate patterns and the encodings of the permute, move and element-selection instructions,
// beside the shared register file helpers.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/register_file.h"

namespace permute_test {

using namespace ostrel::testing;

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

// The tests check what an instruction does, whichever road it takes: the encoding is left out.
inline constexpr Compared kCompared{/*encoding=*/false, /*pc=*/true};

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
