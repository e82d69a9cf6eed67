// Predicate logic without flags on the fixed 1536-bit register file: AND, BIC, EOR, ORR, NOR
// (zeroing) and SEL.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_logic_rules.h"

namespace {

using ostrel::kVectorBytes;
using namespace ostrel::pred;

template <typename Op>
aarch64_decode_rc logic(cpu_state *s, const aarch64_p_reg &pd, const aarch64_p_reg &pg,
                        const aarch64_p_reg &pn, const aarch64_p_reg &pm) {
    uint8_t result[kVectorBytes];
    zeroing_logic<Op>(kVectorBytes, ByteReader{s->p[pg.num]}, ByteReader{s->p[pn.num]},
                      ByteReader{s->p[pm.num]}, ByteWriter{result});
    std::memcpy(s->p[pd.num], result, kVectorBytes);
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_and_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn, aarch64_p_reg pm) {
    return logic<AndOp>(state, pd, pg, pn, pm);
}
aarch64_decode_rc sve_bic_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn, aarch64_p_reg pm) {
    return logic<BicOp>(state, pd, pg, pn, pm);
}
aarch64_decode_rc sve_eor_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn, aarch64_p_reg pm) {
    return logic<EorOp>(state, pd, pg, pn, pm);
}
aarch64_decode_rc sve_orr_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn, aarch64_p_reg pm) {
    return logic<OrrOp>(state, pd, pg, pn, pm);
}
aarch64_decode_rc sve_nor_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn, aarch64_p_reg pm) {
    return logic<NorOp>(state, pd, pg, pn, pm);
}

aarch64_decode_rc sve_sel_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn, aarch64_p_reg pm) {
    uint8_t result[kVectorBytes];
    const uint8_t *g = state->p[pg.num], *n = state->p[pn.num], *m = state->p[pm.num];
    for (unsigned i = 0; i < kVectorBytes; ++i)
        result[i] = ((g[i] & 1u) ? n[i] : m[i]) & 1u;
    std::memcpy(state->p[pd.num], result, kVectorBytes);
    return DECODE_OK;
}
