// Element counts by predicate-constraint pattern, shared by the fixed-length executors (element
// count at the process's vector length) and the kernels (element count from the context's VL).
#pragma once

#include <cstdint>

namespace ostrel {

// The number of leading elements a pattern selects from a vector of n elements: POW2, VL1..VL256,
// MUL4, MUL3, ALL; the unallocated codes select none.
constexpr uint32_t pattern_element_count(uint32_t pattern, uint32_t n) {
    if (pattern == 0) { // POW2
        uint32_t p = 1;
        while (p * 2 <= n)
            p *= 2;
        return n == 0 ? 0 : p;
    }
    if (pattern >= 1 && pattern <= 8) return n >= pattern ? pattern : 0;
    if (pattern >= 9 && pattern <= 13) {
        const uint32_t fixed = 1u << (pattern - 5);
        return n >= fixed ? fixed : 0;
    }
    if (pattern == 29) return n - n % 4;
    if (pattern == 30) return n - n % 3;
    if (pattern == 31) return n;
    return 0;
}

} // namespace ostrel
