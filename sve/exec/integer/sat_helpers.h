// Saturating helpers of the architecture's pseudocode. A saturation is only reported back as a
// flag: SVE integer saturating instructions leave FPSR.QC alone, so nothing here touches state.
#pragma once

#include <cstdint>

#include "sve/exec/integer/int_arith.h"

namespace ostrel {

struct SatResult {
    uint64_t value;
    bool saturated;
};

// Clamps v into the N-bit range (1 <= N <= 64). An in-range result and the signed minimum are
// both returned as N-bit patterns (the minimum is 2^(N-1), not sign-extended), which is what the
// pseudocode hands to an element store.
inline SatResult SatQ(i128 v, int n, int is_unsigned) {
    if (is_unsigned == kUnsigned) {
        if (v < 0) return {0, true};
        if ((v >> n) == 0) return {bits(v) & ones(n), false};
        return {ones(n), true};
    }
    i128 max = (i128{1} << (n - 1)) - 1;
    i128 min = -max - 1;
    if (v > max) return {bits(max), true};
    if (v >= min) return {bits(v) & ones(n), false};
    return {uint64_t{1} << (n - 1), true};
}

// An unsaturated sum comes back as the low 64 bits of the exact sum, sign-extended when negative;
// callers keep the low N bits.
inline uint64_t SatAdd(uint64_t a, uint64_t b, int n, int is_unsigned) {
    i128 sum = Int(a, n, is_unsigned) + Int(b, n, is_unsigned);
    SatResult clamped = SatQ(sum, n, is_unsigned);
    return clamped.saturated ? clamped.value : bits(sum);
}

inline SatResult SatSub(uint64_t a, uint64_t b, int n, int is_unsigned) {
    return SatQ(Int(a, n, is_unsigned) - Int(b, n, is_unsigned), n, is_unsigned);
}

// Saturating product of two N-bit values (1 <= N <= 64), formed exactly.
uint64_t SatMult(uint64_t a, uint64_t b, int n, int is_unsigned);

// SatQ for 1 <= N <= 128 with three differences: limits are computed in 128 bits, an in-range v
// comes back untruncated (its low 64 bits), and the signed minimum comes back sign-extended.
SatResult SatQShift(i128 v, int n, int is_unsigned);

// Saturating shift left of v by s into N bits; a negative s shifts right without saturating.
SatResult ShiftQLeftInt(i128 v, i128 s, int n, int is_unsigned);

} // namespace ostrel
