// The software floating-point library: half, single and double precision on raw bit patterns
// (uint16_t, uint32_t, uint64_t), bit for bit as the architecture's pseudocode, in every FPCR mode.
// Each operation reads its controls from the FPSCR it is given and sets cumulative flags there.
#pragma once

#include "sve/fplib/fpscr.h"

#include <cstdint>

namespace ostrel::fplib {

// Arithmetic.
template <class T> T FPAdd(T op1, T op2, FPSCR &fpscr);
template <class T> T FPSub(T op1, T op2, FPSCR &fpscr);
template <class T> T FPMul(T op1, T op2, FPSCR &fpscr);
template <class T> T FPMulX(T op1, T op2, FPSCR &fpscr); // infinity x zero = 2.0
template <class T> T FPDiv(T op1, T op2, FPSCR &fpscr);
template <class T> T FPSqrt(T op, FPSCR &fpscr);
template <class T> T FPMulAdd(T addend, T op1, T op2, FPSCR &fpscr); // rounded once
// (a + b x c) x 2^scale rounded once, with a mode word and a flags word.
uint16_t fp16_muladd(uint16_t a, uint16_t b, uint16_t c, int scale, int mode, int *flags);
uint32_t fp32_muladd(uint32_t a, uint32_t b, uint32_t c, int scale, int mode, int *flags);
uint64_t fp64_muladd(uint64_t a, uint64_t b, uint64_t c, int scale, int mode, int *flags);

// Sign-bit operations: no NaN processing, no flush, no flag.
template <class T> constexpr T FPAbs(T op) {
    return static_cast<T>(op & ~(T(1) << (sizeof(T) * 8 - 1)));
}
template <class T> constexpr T FPNeg(T op) {
    return static_cast<T>(op ^ (T(1) << (sizeof(T) * 8 - 1)));
}

// Compares, minimum and maximum.
template <class T> bool FPCompareEQ(T op1, T op2, FPSCR &fpscr);
template <class T> bool FPCompareGE(T op1, T op2, FPSCR &fpscr);
template <class T> bool FPCompareGT(T op1, T op2, FPSCR &fpscr);
template <class T> bool FPCompareUN(T op1, T op2, FPSCR &fpscr);
// NZCV as a 4-bit value: N = 8, Z = 4, C = 2, V = 1.
template <class T> int FPCompare(T op1, T op2, bool signal_nans, FPSCR &fpscr);
template <class T> T FPMax(T op1, T op2, FPSCR &fpscr);
template <class T> T FPMin(T op1, T op2, FPSCR &fpscr);
template <class T> T FPMaxNum(T op1, T op2, FPSCR &fpscr);
template <class T> T FPMinNum(T op1, T op2, FPSCR &fpscr);

// Conversions and rounding to integral.
template <class T, class U> U FPConvert(T op, FPRounding rounding, FPSCR &fpscr);
template <class T, class U>
U fplibFPToFixed(T op, int fbits, bool is_unsigned, FPRounding rounding, FPSCR &fpscr);
// exp: biased for double with fbits added; mnt: a double significand (implicit bit 52).
uint64_t FPToFixed_64(int sign, int exp, uint64_t mnt, bool is_unsigned, FPRounding rounding,
                      int *flags);
template <class T>
T fplibFixedToFP(uint64_t op, int fbits, bool is_unsigned, FPRounding rounding, FPSCR &fpscr);
template <class T> T FPRoundInt(T op, FPRounding rounding, bool exact, FPSCR &fpscr);
uint16_t FPScale16(uint16_t op, int16_t scale, FPSCR &fpscr);
uint32_t FPScale32(uint32_t op, int32_t scale, FPSCR &fpscr);
uint64_t FPScale64(uint64_t op, int64_t scale, FPSCR &fpscr);

// Estimates, Newton steps, exponent reciprocal, trigonometric and exponential helpers.
template <class T> T FPRecipEstimate(T op, FPSCR &fpscr);
template <class T> T FPRSqrtEstimate(T op, FPSCR &fpscr);
template <class T> T FPRecipStepFused(T op1, T op2, FPSCR &fpscr); // 2 - op1 x op2
template <class T> T FPRSqrtStepFused(T op1, T op2, FPSCR &fpscr); // (3 - op1 x op2) / 2
template <class T> T FPRecpX(T op, FPSCR &fpscr);
template <class T> T FPTRIMADD(uint64_t coeff_index, T op1, T op2, FPSCR &fpscr);
template <class T> T FPTRISMUL(T op1, T op2, FPSCR &fpscr);
template <class T> T FPEXPA(T op);

// The reciprocal-square-root estimate table (entry i: RecipSqrtEstimate of its scaled input, less
// 256) and the real-number estimates of the older architecture text, which no instruction uses.
namespace tables {
extern const uint8_t recip_sqrt_estimate[256];
} // namespace tables
double recip_estimate(double a);
double recip_sqrt_estimate(double a);
uint32_t UnsignedRecipEstimate(uint32_t op);
uint32_t UnsignedRSqrtEstimate(uint32_t op);

} // namespace ostrel::fplib

// The definitions of the hottest operations, for inlining into element loops.
#include "sve/fplib/add_sub.h"
#include "sve/fplib/mul.h"
#include "sve/fplib/muladd.h"
