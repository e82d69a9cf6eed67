// Each instruction as the library computes it. The FPSCR of a case is the case's FPCR with no
// flags; the flags it collects are the case's FPSR.
#include "tools/fpcheck/library_ops.h"

#include "sve/fplib/fplib.h"

#include <cstdint>

namespace ostrel::fpcheck {

using namespace ostrel::fplib;

namespace {

// Integers arrive zero-extended from their register width; signed forms sign-extend them.
uint64_t extend(uint64_t x, int bits, bool is_signed) {
    if (bits == 64) return x;
    x &= (uint64_t(1) << bits) - 1;
    if (is_signed && (x >> (bits - 1))) x |= ~uint64_t(0) << bits;
    return x;
}

template <class T> uint64_t mask_of(bool result) {
    return result ? T(~T(0)) : 0;
}

} // namespace

CheckResult run_library(OpId op, const CheckCase &c) {
    FPSCR fpscr = c.fpcr;
    const FPRounding rmode = fp_rounding(fpscr);
    const int fb = static_cast<int>(c.fbits);
    CheckResult r{};
    uint64_t &v = r.value;

// One case per width: T is the element type, a, b and c its operands.
#define W3(NAME, ...)                                                                              \
    case OpId::NAME##_H: {                                                                         \
        using T = uint16_t;                                                                        \
        [[maybe_unused]] const T a = T(c.a), b = T(c.b), cc = T(c.c);                              \
        __VA_ARGS__;                                                                               \
        break;                                                                                     \
    }                                                                                              \
    case OpId::NAME##_S: {                                                                         \
        using T = uint32_t;                                                                        \
        [[maybe_unused]] const T a = T(c.a), b = T(c.b), cc = T(c.c);                              \
        __VA_ARGS__;                                                                               \
        break;                                                                                     \
    }                                                                                              \
    case OpId::NAME##_D: {                                                                         \
        using T = uint64_t;                                                                        \
        [[maybe_unused]] const T a = T(c.a), b = T(c.b), cc = T(c.c);                              \
        __VA_ARGS__;                                                                               \
        break;                                                                                     \
    }
#define CVT(NAME, FROM, TO)                                                                        \
    case OpId::NAME:                                                                               \
        v = FPConvert<FROM, TO>(FROM(c.a), rmode, fpscr);                                          \
        break;
#define TOINT(NAME, FROM, TO, UNS)                                                                 \
    case OpId::NAME:                                                                               \
        v = fplibFPToFixed<FROM, TO>(FROM(c.a), fb, UNS, FPRounding_ZERO, fpscr);                  \
        break;
#define FROMINT(NAME, BITS, TO, UNS)                                                               \
    case OpId::NAME:                                                                               \
        v = fplibFixedToFP<TO>(extend(c.a, BITS, !UNS), fb, UNS, rmode, fpscr);                    \
        break;

    switch (op) {
        W3(FADD, v = FPAdd<T>(a, b, fpscr))
        W3(FSUB, v = FPSub<T>(a, b, fpscr))
        W3(FMUL, v = FPMul<T>(a, b, fpscr))
        W3(FMULX, v = FPMulX<T>(a, b, fpscr))
        W3(FDIV, v = FPDiv<T>(a, b, fpscr))
        W3(FMAX, v = FPMax<T>(a, b, fpscr))
        W3(FMIN, v = FPMin<T>(a, b, fpscr))
        W3(FMAXNM, v = FPMaxNum<T>(a, b, fpscr))
        W3(FMINNM, v = FPMinNum<T>(a, b, fpscr))
        W3(FRECPS, v = FPRecipStepFused<T>(a, b, fpscr))
        W3(FRSQRTS, v = FPRSqrtStepFused<T>(a, b, fpscr))
        W3(FMADD, v = FPMulAdd<T>(a, b, cc, fpscr))
        W3(FMSUB, v = FPMulAdd<T>(a, FPNeg(b), cc, fpscr))
        W3(FNMADD, v = FPMulAdd<T>(FPNeg(a), FPNeg(b), cc, fpscr))
        W3(FNMSUB, v = FPMulAdd<T>(FPNeg(a), b, cc, fpscr))
        W3(FSQRT, v = FPSqrt<T>(a, fpscr))
        W3(FABS, v = FPAbs<T>(a))
        W3(FNEG, v = FPNeg<T>(a))
        W3(FRINTN, v = FPRoundInt<T>(a, FPRounding_TIEEVEN, false, fpscr))
        W3(FRINTP, v = FPRoundInt<T>(a, FPRounding_POSINF, false, fpscr))
        W3(FRINTM, v = FPRoundInt<T>(a, FPRounding_NEGINF, false, fpscr))
        W3(FRINTZ, v = FPRoundInt<T>(a, FPRounding_ZERO, false, fpscr))
        W3(FRINTA, v = FPRoundInt<T>(a, FPRounding_TIEAWAY, false, fpscr))
        W3(FRINTX, v = FPRoundInt<T>(a, rmode, true, fpscr))
        W3(FRINTI, v = FPRoundInt<T>(a, rmode, false, fpscr))
        W3(FRECPE, v = FPRecipEstimate<T>(a, fpscr))
        W3(FRSQRTE, v = FPRSqrtEstimate<T>(a, fpscr))
        W3(FRECPX, v = FPRecpX<T>(a, fpscr))
        W3(FCMEQ, v = mask_of<T>(FPCompareEQ<T>(a, b, fpscr)))
        W3(FCMGE, v = mask_of<T>(FPCompareGE<T>(a, b, fpscr)))
        W3(FCMGT, v = mask_of<T>(FPCompareGT<T>(a, b, fpscr)))
        W3(FCMP, r.nzcv = static_cast<uint32_t>(FPCompare<T>(a, b, false, fpscr)))
        W3(FCMPE, r.nzcv = static_cast<uint32_t>(FPCompare<T>(a, b, true, fpscr)))
        CVT(FCVT_H2S, uint16_t, uint32_t)
        CVT(FCVT_H2D, uint16_t, uint64_t)
        CVT(FCVT_S2H, uint32_t, uint16_t)
        CVT(FCVT_S2D, uint32_t, uint64_t)
        CVT(FCVT_D2H, uint64_t, uint16_t)
        CVT(FCVT_D2S, uint64_t, uint32_t)
        TOINT(FCVTZS_H2H, uint16_t, uint16_t, false)
        TOINT(FCVTZS_H2W, uint16_t, uint32_t, false)
        TOINT(FCVTZS_H2X, uint16_t, uint64_t, false)
        TOINT(FCVTZS_S2W, uint32_t, uint32_t, false)
        TOINT(FCVTZS_S2X, uint32_t, uint64_t, false)
        TOINT(FCVTZS_D2W, uint64_t, uint32_t, false)
        TOINT(FCVTZS_D2X, uint64_t, uint64_t, false)
        TOINT(FCVTZU_H2H, uint16_t, uint16_t, true)
        TOINT(FCVTZU_H2W, uint16_t, uint32_t, true)
        TOINT(FCVTZU_H2X, uint16_t, uint64_t, true)
        TOINT(FCVTZU_S2W, uint32_t, uint32_t, true)
        TOINT(FCVTZU_S2X, uint32_t, uint64_t, true)
        TOINT(FCVTZU_D2W, uint64_t, uint32_t, true)
        TOINT(FCVTZU_D2X, uint64_t, uint64_t, true)
        FROMINT(SCVTF_H2H, 16, uint16_t, false)
        FROMINT(SCVTF_W2H, 32, uint16_t, false)
        FROMINT(SCVTF_X2H, 64, uint16_t, false)
        FROMINT(SCVTF_W2S, 32, uint32_t, false)
        FROMINT(SCVTF_X2S, 64, uint32_t, false)
        FROMINT(SCVTF_W2D, 32, uint64_t, false)
        FROMINT(SCVTF_X2D, 64, uint64_t, false)
        FROMINT(UCVTF_H2H, 16, uint16_t, true)
        FROMINT(UCVTF_W2H, 32, uint16_t, true)
        FROMINT(UCVTF_X2H, 64, uint16_t, true)
        FROMINT(UCVTF_W2S, 32, uint32_t, true)
        FROMINT(UCVTF_X2S, 64, uint32_t, true)
        FROMINT(UCVTF_W2D, 32, uint64_t, true)
        FROMINT(UCVTF_X2D, 64, uint64_t, true)
    case OpId::count:
        break;
    }
#undef W3
#undef CVT
#undef TOINT
#undef FROMINT
    r.fpsr = fpscr & FPSCR_FLAG_MASK;
    return r;
}

} // namespace ostrel::fpcheck
