// Running one encoding through the lookup on a register file of random contents, and comparing
// whole register files, for the reduction, saturating-count and ADR tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "sve/decode/decode_rows.h"

namespace reduce_test {

constexpr unsigned kBytes = ostrel::kVectorBytes;

// Predicate and FFR bytes hold 0 or 1 and NZCV only its flag bits, as the kernel road leaves them,
// so a whole-file comparison sees only real changes.
inline std::unique_ptr<cpu_state> random_state(uint64_t seed) {
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

inline uint64_t z_element(const cpu_state &s, unsigned reg, unsigned bytes, unsigned i) {
    uint64_t v = 0;
    std::memcpy(&v, s.z[reg] + i * bytes, bytes);
    return v;
}
inline void set_z_element(cpu_state &s, unsigned reg, unsigned bytes, unsigned i, uint64_t v) {
    std::memcpy(s.z[reg] + i * bytes, &v, bytes);
}

// "" when equal, else the first differing fields by name.
inline std::string state_difference(const cpu_state &got, const cpu_state &want) {
    std::ostringstream out;
    out << std::hex;
    for (unsigned r = 0; r < ostrel::kNumXRegs; ++r)
        if (got.x[r] != want.x[r])
            out << " x" << std::dec << r << std::hex << "=" << got.x[r] << " want " << want.x[r];
    if (got.sp != want.sp) out << " sp";
    if (got.nzcv != want.nzcv) out << " nzcv";
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
    return out.str();
}

// Elements a pattern selects from n, written out per pattern name.
inline uint64_t pattern_count(unsigned pattern, unsigned n) {
    static const unsigned fixed_length[14] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 16, 32, 64, 128, 256};
    if (pattern == 0) { // POW2
        unsigned p = 1u << 31;
        while (p > n)
            p >>= 1;
        return n == 0 ? 0 : p;
    }
    if (pattern < 14) return fixed_length[pattern] <= n ? fixed_length[pattern] : 0;
    if (pattern == 29) return n / 4 * 4;
    if (pattern == 30) return n / 3 * 3;
    if (pattern == 31) return n;
    return 0;
}

} // namespace reduce_test
