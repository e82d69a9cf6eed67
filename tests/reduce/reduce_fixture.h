// The register file helpers of the reduction, saturating-count and ADR tests, and the element
// count of a predicate pattern.
#pragma once

#include <cstdint>

#include "tests/support/register_file.h"

namespace reduce_test {

using namespace ostrel::testing;

// These tests compare the registers an instruction may write: not the encoding, which not every
// road stores, nor the pc.
inline constexpr Compared kCompared{/*encoding=*/false, /*pc=*/false};

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
