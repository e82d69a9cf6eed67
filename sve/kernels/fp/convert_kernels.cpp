// Kernels of the floating-point conversions on the kernel road (Zd, Pg/M, Zn): FCVT between
// widths, FCVTZS/FCVTZU to integers, SCVTF/UCVTF from integers. Each element is a container of
// the wider of the two sizes; the narrower value sits in its low bits, and a narrower result is
// zero-extended into it.
#include "sve/kernels/fp/fp_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::fp_kernels;
using namespace ostrel::fplib;

namespace {

// FCVT: float Src to float Dst, rounding by the FPCR.
template <typename C, typename Src, typename Dst>
VecValue width(const VecValue &zd, const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    return merging<C, kConversionIgnores>(zd, pg, ctx, [&](unsigned i, FPSCR &fpscr) {
        return static_cast<C>(
            FPConvert<Src, Dst>(static_cast<Src>(zn.get<C>(i)), fp_rounding(fpscr), fpscr));
    });
}

// FCVTZS, FCVTZU: float Src to an integer of the container's width, toward zero, saturating.
// The FPCR bits pass unchanged, so FZ16 flushes a half operand here.
template <typename C, typename Src, bool Unsigned>
VecValue to_integer(const VecValue &zd, const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    return merging<C>(zd, pg, ctx, [&](unsigned i, FPSCR &fpscr) {
        return fplibFPToFixed<Src, C>(static_cast<Src>(zn.get<C>(i)), 0, Unsigned, FPRounding_ZERO,
                                      fpscr);
    });
}

// SCVTF, UCVTF: an integer Src, sign- or zero-extended to 64 bits, to float Dst.
template <typename C, typename Src, bool Unsigned, typename Dst>
VecValue from_integer(const VecValue &zd, const PredV &pg, const VecValue &zn, CpuContext *ctx) {
    using SignedSrc = std::make_signed_t<Src>;
    return merging<C, kConversionIgnores>(zd, pg, ctx, [&](unsigned i, FPSCR &fpscr) {
        const Src value = static_cast<Src>(zn.get<C>(i));
        const uint64_t wide =
            Unsigned ? uint64_t{value}
                     : static_cast<uint64_t>(static_cast<int64_t>(static_cast<SignedSrc>(value)));
        return static_cast<C>(fplibFixedToFP<Dst>(wide, 0, Unsigned, fp_rounding(fpscr), fpscr));
    });
}

} // namespace

#define OSTREL_FP_CONVERSION(Name, Loop)                                                           \
    VecValue Name(VecValue zd, PredV pg, VecValue zn, CpuContext *ctx) {                           \
        return Loop(zd, pg, zn, ctx);                                                              \
    }
// FCVT: <container, source, result>.
OSTREL_FP_CONVERSION(VecH32TruncFVM, (width<uint32_t, uint32_t, uint16_t>))
OSTREL_FP_CONVERSION(VecH64TruncDVM, (width<uint64_t, uint64_t, uint16_t>))
OSTREL_FP_CONVERSION(VecF32ExtndHVM, (width<uint32_t, uint16_t, uint32_t>))
OSTREL_FP_CONVERSION(VecD64ExtndHVM, (width<uint64_t, uint16_t, uint64_t>))
// FCVTZS, FCVTZU: <container (the integer), float source, unsigned>.
OSTREL_FP_CONVERSION(VecS16_2FromHVM, (to_integer<uint16_t, uint16_t, false>))
OSTREL_FP_CONVERSION(VecU16_2FromHVM, (to_integer<uint16_t, uint16_t, true>))
OSTREL_FP_CONVERSION(VecS32_4FromHVM, (to_integer<uint32_t, uint16_t, false>))
OSTREL_FP_CONVERSION(VecU32_4FromHVM, (to_integer<uint32_t, uint16_t, true>))
OSTREL_FP_CONVERSION(VecS64_8FromHVM, (to_integer<uint64_t, uint16_t, false>))
OSTREL_FP_CONVERSION(VecU64_8FromHVM, (to_integer<uint64_t, uint16_t, true>))
OSTREL_FP_CONVERSION(VecU32_4FromFVM, (to_integer<uint32_t, uint32_t, true>))
OSTREL_FP_CONVERSION(VecU64_8FromFVM, (to_integer<uint64_t, uint32_t, true>))
// SCVTF, UCVTF: <container, integer source, unsigned, float result>.
OSTREL_FP_CONVERSION(VecF16FromS2VM, (from_integer<uint16_t, uint16_t, false, uint16_t>))
OSTREL_FP_CONVERSION(VecF16FromU2VM, (from_integer<uint16_t, uint16_t, true, uint16_t>))
OSTREL_FP_CONVERSION(VecF16FromS4VM, (from_integer<uint32_t, uint32_t, false, uint16_t>))
OSTREL_FP_CONVERSION(VecF16FromU4VM, (from_integer<uint32_t, uint32_t, true, uint16_t>))
OSTREL_FP_CONVERSION(VecF16FromS8VM, (from_integer<uint64_t, uint64_t, false, uint16_t>))
OSTREL_FP_CONVERSION(VecF16FromU8VM, (from_integer<uint64_t, uint64_t, true, uint16_t>))
OSTREL_FP_CONVERSION(VecF64FromU8VM, (from_integer<uint64_t, uint64_t, true, uint32_t>))
