// Test support for the integer executors: a register file of random bytes, element access that
// does not go through the executors' own helpers, and running one encoding through the lookup.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>

#include "sve/decode/decode_rows.h"

namespace sve_test {

// Every byte random, predicate bytes included: only bit 0 of a predicate byte is meant to count.
inline std::unique_ptr<cpu_state> random_state(uint32_t seed) {
    auto s = std::make_unique<cpu_state>();
    std::mt19937 rng(seed);
    auto *bytes = reinterpret_cast<unsigned char *>(s.get());
    for (std::size_t i = 0; i < sizeof(cpu_state); ++i)
        bytes[i] = static_cast<unsigned char>(rng());
    s->pc = reinterpret_cast<unsigned char *>(uintptr_t{0x400a3c});
    return s;
}

inline uint64_t mask_of(unsigned esize_bytes) {
    return esize_bytes == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * esize_bytes)) - 1;
}

// Element i of a 192-byte register, little-endian, assembled byte by byte.
inline uint64_t element(const uint8_t *reg, unsigned i, unsigned esize_bytes) {
    uint64_t v = 0;
    for (unsigned b = esize_bytes; b-- > 0;)
        v = v << 8 | reg[i * esize_bytes + b];
    return v;
}

inline void set_element(uint8_t *reg, unsigned i, unsigned esize_bytes, uint64_t v) {
    for (unsigned b = 0; b < esize_bytes; ++b)
        reg[i * esize_bytes + b] = static_cast<uint8_t>(v >> (8 * b));
}

inline void fill_elements(uint8_t *reg, unsigned esize_bytes, uint64_t v) {
    for (unsigned i = 0; i < ostrel::kVectorBytes / esize_bytes; ++i)
        set_element(reg, i, esize_bytes, v);
}

// Looks the encoding up and runs its handler; fails the test when the row is not built.
inline aarch64_decode_rc run(cpu_state *s, uint32_t encoding) {
    const sve_handler_t handler = get_sve_handler(encoding);
    EXPECT_NE(handler, nullptr) << std::hex << encoding;
    if (!handler) return DECODE_UNIMPLEMENTED;
    const ostrel::DecodeRow *row = ostrel::row_of_handler(handler);
    EXPECT_TRUE(row && row->state == ostrel::RowState::built)
        << std::hex << encoding << " " << (row ? row->name : "?");
    return handler(s, encoding);
}

// The whole register file equals `expected` (byte for byte) after a run.
inline void expect_state_eq(const cpu_state &expected, const cpu_state &actual) {
    for (unsigned z = 0; z < ostrel::kNumZRegs; ++z)
        for (unsigned b = 0; b < ostrel::kVectorBytes; ++b)
            if (expected.z[z][b] != actual.z[z][b]) {
                ADD_FAILURE() << "z" << z << " byte " << b << ": expected 0x" << std::hex
                              << unsigned{expected.z[z][b]} << ", got 0x"
                              << unsigned{actual.z[z][b]};
                return;
            }
    EXPECT_EQ(std::memcmp(&expected, &actual, sizeof(cpu_state)), 0)
        << "a field outside the Z registers changed";
}

} // namespace sve_test
