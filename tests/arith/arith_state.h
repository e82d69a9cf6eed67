// Register files for the arithmetic tests. The kernel road's bridge carries NZCV as a 32-bit
// word and FFR as bits, so the random state keeps only what a real register file can hold there:
// nothing above bit 31 of NZCV, and 0 or 1 in each FFR byte.
#pragma once

#include <cstdint>
#include <memory>

#include "tests/integer/sve_state_support.h"

namespace arith_test {

inline std::unique_ptr<cpu_state> random_arith_state(uint32_t seed) {
    auto s = ostrel::testing::garbage_state(seed, sve_test::kPc);
    s->nzcv &= 0xffffffffu;
    for (uint8_t &b : s->ffr)
        b &= 1u;
    return s;
}

} // namespace arith_test
