// Kernels of the floating-point arithmetic forms on the kernel road: the predicated vector forms
// (Zdn, Pg/M, Zdn, Zm), the forms with an immediate (Zdn, Pg/M, Zdn, #const) and the unpredicated
// vector forms (Zd, Zn, Zm).
#include "sve/decode/host_fpsr.h"
#include "sve/exec/fp/host_half.h"
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

#define OSTREL_FP_BINARY_OP(Name, Expression)                                                      \
    struct Name {                                                                                  \
        template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return Expression; }        \
    };
OSTREL_FP_BINARY_OP(Add, FPAdd(a, b, fpscr))
OSTREL_FP_BINARY_OP(Sub, FPSub(a, b, fpscr))
OSTREL_FP_BINARY_OP(SubR, FPSub(b, a, fpscr))
OSTREL_FP_BINARY_OP(Mul, FPMul(a, b, fpscr))
OSTREL_FP_BINARY_OP(MulX, FPMulX(a, b, fpscr))
OSTREL_FP_BINARY_OP(Div, FPDiv(a, b, fpscr))
OSTREL_FP_BINARY_OP(DivR, FPDiv(b, a, fpscr))
OSTREL_FP_BINARY_OP(Max, FPMax(a, b, fpscr))
OSTREL_FP_BINARY_OP(Min, FPMin(a, b, fpscr))
OSTREL_FP_BINARY_OP(MaxNum, FPMaxNum(a, b, fpscr))
OSTREL_FP_BINARY_OP(MinNum, FPMinNum(a, b, fpscr))
OSTREL_FP_BINARY_OP(Abd, FPAbs(FPSub(a, b, fpscr)))
#undef OSTREL_FP_BINARY_OP

// FSCALE: the second operand's element is a signed integer of the element's width.
inline uint16_t scale(uint16_t a, uint16_t b, FPSCR &fpscr) {
    return FPScale16(a, static_cast<int16_t>(b), fpscr);
}
inline uint32_t scale(uint32_t a, uint32_t b, FPSCR &fpscr) {
    return FPScale32(a, static_cast<int32_t>(b), fpscr);
}
inline uint64_t scale(uint64_t a, uint64_t b, FPSCR &fpscr) {
    return FPScale64(a, static_cast<int64_t>(b), fpscr);
}
struct Scale {
    template <typename T> static T apply(T a, T b, FPSCR &fpscr) { return scale(a, b, fpscr); }
};

// The immediate arrives as a single-precision pattern; it is exact in every format, so taking it
// to the element's format raises nothing.
template <typename T> T immediate_in(uint32_t single, FPSCR &fpscr) {
    if constexpr (sizeof(T) == 4) {
        (void)fpscr;
        return single;
    } else {
        return FPConvert<uint32_t, T>(single, FPRounding_ZERO, fpscr);
    }
}

// The unpredicated half forms on a host with half-precision arithmetic: one vector instruction per
// block, flags through the host FPSR like the host route's.
template <typename Op> struct HostHalf {};
#if defined(__aarch64__)
template <> struct HostHalf<Add> { static constexpr auto lanes = ostrel::fp::add_half_lanes; };
template <> struct HostHalf<Sub> { static constexpr auto lanes = ostrel::fp::sub_half_lanes; };
template <> struct HostHalf<Mul> { static constexpr auto lanes = ostrel::fp::mul_half_lanes; };
#endif

template <typename Op>
VecValue host_half_binary(const VecValue &zn, const VecValue &zm, CpuContext *ctx) {
    using Half = ostrel::fp::Lanes<uint16_t>;
    VecValue result{};
    const unsigned bytes = (ctx->vl & ostrel::kVlMask) * 8;
    ostrel::write_host_fpsr(ctx->fpsr);
    for (unsigned at = 0; at < bytes; at += 16) {
        const Half r = HostHalf<Op>::lanes(ostrel::fp::load_lanes<uint16_t>(zn.bytes + at),
                                           ostrel::fp::load_lanes<uint16_t>(zm.bytes + at));
        ostrel::fp::store_lanes<uint16_t>(result.bytes + at, r);
    }
    ctx->fpsr = ostrel::read_host_fpsr() & kFpsrKeep;
    return result;
}

} // namespace

// ---- Zdn, Pg/M, Zdn, Zm -------------------------------------------------------------------------

#define OSTREL_FP_VVM(Type, T, Family, Op)                                                         \
    VecValue Vec##Type##Family(VecValue zdn, PredV pg, VecValue zm, CpuContext *ctx) {             \
        return merging_binary<T, Op>(zdn, pg, zm, ctx);                                            \
    }
OSTREL_FP_HALF(OSTREL_FP_VVM, AddVVM, Add)
OSTREL_FP_HALF(OSTREL_FP_VVM, SubVVM, Sub)
OSTREL_FP_HALF(OSTREL_FP_VVM, SubRVVM, SubR)
OSTREL_FP_HALF(OSTREL_FP_VVM, MulVVM, Mul)
OSTREL_FP_EVERY(OSTREL_FP_VVM, MulXVVM, MulX)
OSTREL_FP_HALF(OSTREL_FP_VVM, DivVVM, Div)
OSTREL_FP_HALF(OSTREL_FP_VVM, DivRVVM, DivR)
OSTREL_FP_HALF(OSTREL_FP_VVM, MaxVVM, Max)
OSTREL_FP_EVERY(OSTREL_FP_VVM, MinVVM, Min)
OSTREL_FP_HALF(OSTREL_FP_VVM, MaxNumVVM, MaxNum)
OSTREL_FP_HALF(OSTREL_FP_VVM, MinNumVVM, MinNum)
OSTREL_FP_EVERY(OSTREL_FP_VVM, AbdVVM, Abd)
OSTREL_FP_EVERY(OSTREL_FP_VVM, ScaleVVM, Scale)

// ---- Zdn, Pg/M, Zdn, #const ---------------------------------------------------------------------

#define OSTREL_FP_VIM(Type, T, Family, Op)                                                         \
    VecValue Vec##Type##Family(VecValue zdn, PredV pg, uint32_t single, CpuContext *ctx) {         \
        return merging<T>(zdn, pg, ctx, [&](unsigned i, FPSCR &fpscr) {                            \
            return Op::apply(zdn.get<T>(i), immediate_in<T>(single, fpscr), fpscr);                \
        });                                                                                        \
    }
OSTREL_FP_HALF(OSTREL_FP_VIM, AddVIM, Add)
OSTREL_FP_HALF(OSTREL_FP_VIM, SubVIM, Sub)
OSTREL_FP_HALF(OSTREL_FP_VIM, SubRVIM, SubR)
OSTREL_FP_HALF(OSTREL_FP_VIM, MulVIM, Mul)
OSTREL_FP_EVERY(OSTREL_FP_VIM, MaxVIM, Max)
OSTREL_FP_EVERY(OSTREL_FP_VIM, MinVIM, Min)
OSTREL_FP_EVERY(OSTREL_FP_VIM, MaxNumVIM, MaxNum)
OSTREL_FP_EVERY(OSTREL_FP_VIM, MinNumVIM, MinNum)

// ---- Zd, Zn, Zm ---------------------------------------------------------------------------------

#define OSTREL_FP_VVX(Type, T, Family, Op)                                                         \
    VecValue Vec##Type##Family(VecValue zn, VecValue zm, CpuContext *ctx) {                        \
        if constexpr (ostrel::fp::kHalfLanesBuilt && sizeof(T) == 2)                               \
            if (ostrel::fp::host_has_half_arithmetic()) return host_half_binary<Op>(zn, zm, ctx);  \
        return unpredicated_binary<T, Op>(zn, zm, ctx);                                            \
    }
OSTREL_FP_HALF(OSTREL_FP_VVX, AddVVX, Add)
OSTREL_FP_HALF(OSTREL_FP_VVX, SubVVX, Sub)
OSTREL_FP_HALF(OSTREL_FP_VVX, MulVVX, Mul)
