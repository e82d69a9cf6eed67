// The control-and-status word every operation takes, and the two small words an operation uses
// inside: the mode word (rounding, flush and NaN controls in one integer) and the flags word (the
// cumulative exceptions it raised, at their FPSCR positions).
#pragma once

#include <cstdint>

namespace ostrel::fplib {

// Control bits at the positions of FPCR, cumulative flags at those of FPSR.
using FPSCR = uint32_t;

enum FPRounding : int {
    FPRounding_TIEEVEN = 0,
    FPRounding_POSINF = 1,
    FPRounding_NEGINF = 2,
    FPRounding_ZERO = 3,
    FPRounding_TIEAWAY = 4, // round-to-integral and float-to-integer only
    FPRounding_ODD = 5,     // honoured by the half and single rounding routines
};

// Cumulative flags (FPSCR and flags word alike).
constexpr int FPSCR_IOC = 1;
constexpr int FPSCR_DZC = 2;
constexpr int FPSCR_OFC = 4;
constexpr int FPSCR_UFC = 8;
constexpr int FPSCR_IXC = 16;
constexpr int FPSCR_IDC = 128;
constexpr int FPSCR_FLAG_MASK =
    FPSCR_IOC | FPSCR_DZC | FPSCR_OFC | FPSCR_UFC | FPSCR_IXC | FPSCR_IDC;

// Control bits of FPSCR.
constexpr uint32_t FPSCR_FZ16 = 1u << 19;
constexpr uint32_t FPSCR_RMODE_SHIFT = 22;
constexpr uint32_t FPSCR_FZ = 1u << 24;
constexpr uint32_t FPSCR_DN = 1u << 25;
constexpr uint32_t FPSCR_AHP = 1u << 26;

// Mode word bits.
constexpr int FPLIB_RM_MASK = 3;
constexpr int FPLIB_FZ = 4;
constexpr int FPLIB_DN = 8;
constexpr int FPLIB_AHP = 16;
constexpr int FPLIB_FZ16 = 32;

// RMode, FZ and DN keep their relative positions; AHP is never taken from FPSCR here (only the
// conversions to half add it), so bit 26 is masked away.
inline int fp_mode_word(FPSCR fpscr) {
    return static_cast<int>((fpscr >> FPSCR_RMODE_SHIFT) & 15) |
           ((fpscr & FPSCR_FZ16) ? FPLIB_FZ16 : 0);
}

inline FPRounding fp_rounding(FPSCR fpscr) {
    return static_cast<FPRounding>((fpscr >> FPSCR_RMODE_SHIFT) & 3);
}

inline void fp_merge_flags(FPSCR &fpscr, int flags) {
    fpscr |= static_cast<uint32_t>(flags & FPSCR_FLAG_MASK);
}

} // namespace ostrel::fplib
