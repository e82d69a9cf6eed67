// Runs one encoding through the handler the lookup returns, on a register file filled with
// recognisable garbage, and reads predicates back element by element.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "sve/decode/decode_rows.h"

namespace ostrel::test {

inline std::unique_ptr<cpu_state> garbage_state(uint32_t seed) {
    auto s = std::make_unique<cpu_state>();
    std::mt19937 rng(seed);
    auto *bytes = reinterpret_cast<unsigned char *>(s.get());
    for (std::size_t i = 0; i < sizeof(cpu_state); ++i)
        bytes[i] = static_cast<unsigned char>(rng());
    return s;
}

inline aarch64_decode_rc run(cpu_state &s, uint32_t encoding) {
    sve_handler_t handler = get_sve_handler(encoding);
    if (!handler) {
        ADD_FAILURE() << "no handler for " << std::hex << encoding;
        return DECODE_UNIMPLEMENTED;
    }
    return handler(&s, encoding);
}

// The predicate a constant-style instruction should leave: the first `count` elements of
// 1 << size bytes true, every other byte 0.
inline std::vector<uint8_t> leading_elements(unsigned count, unsigned size) {
    std::vector<uint8_t> p(kVectorBytes, 0);
    for (unsigned e = 0; e < count; ++e)
        p[e << size] = 1;
    return p;
}

inline std::vector<uint8_t> predicate(const cpu_state &s, unsigned num) {
    return std::vector<uint8_t>(s.p[num], s.p[num] + kVectorBytes);
}

constexpr uint64_t N = 1ull << 31, Z = 1ull << 30, C = 1ull << 29, V = 1ull << 28;
constexpr uint64_t kFlagBits = N | Z | C | V;

} // namespace ostrel::test
