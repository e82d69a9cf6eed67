// The register file as the instruction tests use it: random contents, element access that does
// not go through the emulator's own helpers, running one encoding through the lookup, and
// comparing whole register files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "sve/decode/decode_rows.h"

namespace ostrel::testing {

// The tests here run at the default length.
constexpr unsigned kBytes = kDefaultVectorBits / 8;

template <class Engine> void fill_random_bytes(cpu_state &s, Engine &rng) {
    auto *bytes = reinterpret_cast<unsigned char *>(&s);
    for (std::size_t i = 0; i < sizeof(cpu_state); ++i)
        bytes[i] = static_cast<unsigned char>(rng());
}

// Every byte random, pc included. Predicate bytes keep their other bits too: only bit 0 is meant
// to count, so a handler that reads more of the byte shows it.
inline std::unique_ptr<cpu_state> garbage_state(uint32_t seed) {
    auto s = std::make_unique<cpu_state>();
    std::mt19937 rng(seed);
    fill_random_bytes(*s, rng);
    return s;
}
// The same with a known pc, for the tests that see it in a report or a trace record.
inline std::unique_ptr<cpu_state> garbage_state(uint32_t seed, uintptr_t pc) {
    auto s = garbage_state(seed);
    s->pc = reinterpret_cast<unsigned char *>(pc);
    return s;
}

// A register file of random contents. Predicate and FFR bytes hold 0 or 1 and NZCV only its flag
// bits, as the kernel road leaves them, so a whole-file comparison sees only real changes. The pc
// is `pc` (null from a seed).
inline std::unique_ptr<cpu_state> random_state(std::mt19937_64 &rng, uintptr_t pc) {
    auto s = std::make_unique<cpu_state>();
    fill_random_bytes(*s, rng);
    for (auto &p : s->p)
        for (auto &b : p)
            b &= 1;
    for (auto &b : s->ffr)
        b &= 1;
    s->nzcv &= 0xf0000000u;
    s->pc = reinterpret_cast<unsigned char *>(pc);
    return s;
}
inline std::unique_ptr<cpu_state> random_state(uint64_t seed) {
    std::mt19937_64 rng(seed);
    return random_state(rng, 0);
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

// Element i (of `bytes` bytes) of a Z register, zero-extended; assembled byte by byte in the
// guest's order, whatever the host's.
inline uint64_t z_element(const cpu_state &s, unsigned reg, unsigned bytes, unsigned i) {
    uint64_t v = 0;
    for (unsigned b = bytes; b-- > 0;)
        v = v << 8 | s.z[reg][i * bytes + b];
    return v;
}
inline void set_z_element(cpu_state &s, unsigned reg, unsigned bytes, unsigned i, uint64_t v) {
    for (unsigned b = 0; b < bytes; ++b)
        s.z[reg][i * bytes + b] = static_cast<uint8_t>(v >> (8 * b));
}
inline void fill_z_elements(cpu_state &s, unsigned reg, unsigned bytes, uint64_t v) {
    for (unsigned i = 0; i < kBytes / bytes; ++i)
        set_z_element(s, reg, bytes, i, v);
}

// General register `reg`, where number 31 is SP.
inline uint64_t x_or_sp(const cpu_state &s, unsigned reg) {
    return reg == 31 ? s.sp : s.x[reg];
}
inline void set_x_or_sp(cpu_state &s, unsigned reg, uint64_t v) {
    (reg == 31 ? s.sp : s.x[reg]) = v;
}

inline uint64_t low_bits(uint64_t v, unsigned bytes) {
    return bytes == 8 ? v : v & ((uint64_t{1} << (8 * bytes)) - 1);
}
inline int64_t sign_extend(uint64_t v, unsigned bytes) {
    const unsigned shift = 64 - 8 * bytes;
    return static_cast<int64_t>(v << shift) >> shift;
}

// What a comparison covers besides the architectural registers. A test that checks what an
// instruction does, whichever road it takes, leaves out the encoding, which not every road
// stores.
struct Compared {
    bool encoding = true;
    bool pc = true;
};

// "" when equal, else the differing fields by name.
inline std::string state_difference(const cpu_state &got, cpu_state want, Compared compared = {}) {
    if (!compared.encoding) want.encoding = got.encoding;
    if (!compared.pc) want.pc = got.pc;
    std::ostringstream out;
    out << std::hex;
    for (unsigned r = 0; r < kNumXRegs; ++r)
        if (got.x[r] != want.x[r])
            out << " x" << std::dec << r << std::hex << "=" << got.x[r] << " want " << want.x[r];
    if (got.sp != want.sp) out << " sp=" << got.sp << " want " << want.sp;
    if (got.nzcv != want.nzcv) out << " nzcv=" << got.nzcv << " want " << want.nzcv;
    if (got.fpsr != want.fpsr || got.fpcr != want.fpcr) out << " fpsr/fpcr";
    for (unsigned r = 0; r < kNumZRegs; ++r)
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
    // A field added to the register file and not named above still shows.
    if (out.str().empty() && std::memcmp(&got, &want, sizeof want) != 0) out << " other bytes";
    return out.str();
}

} // namespace ostrel::testing
