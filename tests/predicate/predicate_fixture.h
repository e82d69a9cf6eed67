// Predicates read back and expected element by element, and the NZCV flag bits, beside the shared
// register file helpers.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/register_file.h"

namespace ostrel::test {

using namespace ostrel::testing;

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
