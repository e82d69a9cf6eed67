// Splitting a value into its integer part and the rounding information below it, and rounding
// that integer part: shared by float-to-integer and round-to-integral.
#pragma once

#include "sve/fplib/fp_bits.h"
#include "sve/fplib/fpscr.h"

namespace ostrel::fplib {

struct IntegerPart {
    uint64_t x;
    int err; // 0 exact, 1 below half, 2 exactly half, 3 above half
};

// mnt x 2^-shift, shift > 0, for a significand of at most 62 bits.
inline IntegerPart integer_part(uint64_t mnt, int shift) {
    const uint64_t t = shift_right_jam<uint64_t>(mnt << 2, shift);
    return {t >> 2, static_cast<int>(t & 3)};
}

inline bool rounds_up(const IntegerPart &p, int sign, FPRounding rounding) {
    switch (rounding) {
    case FPRounding_TIEEVEN:
        return p.err == 3 || (p.err == 2 && (p.x & 1));
    case FPRounding_POSINF:
        return p.err != 0 && !sign;
    case FPRounding_NEGINF:
        return p.err != 0 && sign;
    case FPRounding_TIEAWAY:
        return p.err >= 2;
    default:
        return false;
    }
}

} // namespace ostrel::fplib
