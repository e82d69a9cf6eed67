// Predicate kernels: logic with flags (and NAND, ORN), the flag-setting breaks and BRKPA, PFIRST,
// RDFFRS and the predicate TRN1, TRN2 and UZP2. Predicates are byte granular unless the type
// names an element size.
#include "sve/exec/integer/break_rules.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/integer/pred_logic_rules.h"
#include "sve/exec/integer/pred_permute_rules.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using namespace ostrel::pred;

namespace {

PredV cleared() {
    PredV p;
    p.clear();
    return p;
}

template <typename Op>
PredV logic(const PredV &pg, const PredV &pn, const PredV &pm, CpuContext *ctx) {
    PredV result = cleared();
    zeroing_logic<Op>(kernel_bits(ctx), ValueReader{pg}, ValueReader{pn}, ValueReader{pm},
                      ValueWriter{result});
    return result;
}

template <typename Op>
PredV logic_flags(const PredV &pg, const PredV &pn, const PredV &pm, CpuContext *ctx) {
    const PredV result = logic<Op>(pg, pn, pm, ctx);
    PredSetNZCV(pg, result, 8, ctx);
    return result;
}

template <bool After> PredV break_first_flags(const PredV &pg, const PredV &pn, CpuContext *ctx) {
    PredV result = cleared();
    break_first<After>(
        kernel_bits(ctx), ValueReader{pg}, ValueReader{pn}, [](unsigned) { return false; },
        ValueWriter{result});
    PredSetNZCV(pg, result, 8, ctx);
    return result;
}

PredV break_previous_after(const PredV &pg, const PredV &pn, const PredV &pm, CpuContext *ctx) {
    PredV result = cleared();
    break_previous<true>(kernel_bits(ctx), ValueReader{pg}, ValueReader{pn}, ValueReader{pm},
                         ValueWriter{result});
    return result;
}

template <unsigned EsizeBits>
PredV permute(Permute op, const PredV &pn, const PredV &pm, CpuContext *ctx) {
    PredV result = cleared();
    permute_elements(op, kernel_bits(ctx), EsizeBits / 8, ValueReader{pn}, ValueReader{pm},
                     ValueWriter{result});
    return result;
}

} // namespace

PredV VecPAndFlgPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic_flags<AndOp>(pg, pn, pm, ctx);
}
PredV VecPBicFlgPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic_flags<BicOp>(pg, pn, pm, ctx);
}
PredV VecPXorFlgPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic_flags<EorOp>(pg, pn, pm, ctx);
}
PredV VecPOrFlgPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic_flags<OrrOp>(pg, pn, pm, ctx);
}
PredV VecPOrNFlgPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic_flags<OrnOp>(pg, pn, pm, ctx);
}
PredV VecPNandFlgPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic_flags<NandOp>(pg, pn, pm, ctx);
}
PredV VecPNorFlgPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic_flags<NorOp>(pg, pn, pm, ctx);
}
PredV VecPNandPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic<NandOp>(pg, pn, pm, ctx);
}
PredV VecPOrNPPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return logic<OrnOp>(pg, pn, pm, ctx);
}

PredV VecPBreakAFlgPZ(PredV pg, PredV pn, CpuContext *ctx) {
    return break_first_flags<true>(pg, pn, ctx);
}
PredV VecPBreakBFlgPZ(PredV pg, PredV pn, CpuContext *ctx) {
    return break_first_flags<false>(pg, pn, ctx);
}
PredV VecPBreakPrevAPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    return break_previous_after(pg, pn, pm, ctx);
}
PredV VecPBreakPrevAFlgPZ(PredV pg, PredV pn, PredV pm, CpuContext *ctx) {
    const PredV result = break_previous_after(pg, pn, pm, ctx);
    PredSetNZCV(pg, result, 8, ctx);
    return result;
}

// Pdn with the bit of Pg's first active byte set; every other bit of Pdn is kept.
PredV VecPSetFirstActiveP(PredV pg, PredV pdn, CpuContext *ctx) {
    PredV result = pdn;
    const uint32_t first = FindFirstActive(pg, 8, ctx);
    if (first != 0xffffffffu) result.set_bit(first, true);
    PredSetNZCV(pg, result, 8, ctx);
    return result;
}

// RDFFRS: FFR under a zeroing Pg.
PredV VecPActualFlgP(PredV pg, CpuContext *ctx) {
    PredV result = cleared();
    zeroing_logic<AndOp>(kernel_bits(ctx), ValueReader{pg}, ValueReader{ctx->ffr},
                         ValueReader{ctx->ffr}, ValueWriter{result});
    PredSetNZCV(pg, result, 8, ctx);
    return result;
}

PredV VecP8Trn1PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<8>(Permute::trn1, pn, pm, ctx);
}
PredV VecP16Trn1PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<16>(Permute::trn1, pn, pm, ctx);
}
PredV VecP32Trn1PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<32>(Permute::trn1, pn, pm, ctx);
}
PredV VecP64Trn1PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<64>(Permute::trn1, pn, pm, ctx);
}
PredV VecP8Trn2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<8>(Permute::trn2, pn, pm, ctx);
}
PredV VecP16Trn2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<16>(Permute::trn2, pn, pm, ctx);
}
PredV VecP32Trn2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<32>(Permute::trn2, pn, pm, ctx);
}
PredV VecP64Trn2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<64>(Permute::trn2, pn, pm, ctx);
}
PredV VecP8Uzp2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<8>(Permute::uzp2, pn, pm, ctx);
}
PredV VecP16Uzp2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<16>(Permute::uzp2, pn, pm, ctx);
}
PredV VecP32Uzp2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<32>(Permute::uzp2, pn, pm, ctx);
}
PredV VecP64Uzp2PP(PredV pn, PredV pm, CpuContext *ctx) {
    return permute<64>(Permute::uzp2, pn, pm, ctx);
}
