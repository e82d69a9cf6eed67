// Predicate logic without flags at the process's vector length: AND, BIC, EOR, ORR, NOR
// (zeroing) and SEL.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_logic_rules.h"
#include "sve/exec/vector_blocks.h"

namespace {

using ostrel::kMaxVectorBytes;
using namespace ostrel::pred;

template <typename Op>
aarch64_decode_rc logic(cpu_state *s, const aarch64_p_reg &pd, const aarch64_p_reg &pg,
                        const aarch64_p_reg &pn, const aarch64_p_reg &pm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    zeroing_logic<Op>(vl_bytes, ByteReader{s->p[pg.num]}, ByteReader{s->p[pn.num]},
                      ByteReader{s->p[pm.num]}, ByteWriter{result});
    ostrel::copy_vector(s->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}

} // namespace

// One executor per operation; they differ in Op alone.
#define OSTREL_PREDICATE_LOGIC(name, Op)                                                           \
    aarch64_decode_rc name(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_p_reg pn, \
                           aarch64_p_reg pm) {                                                     \
        return logic<Op>(state, pd, pg, pn, pm);                                                   \
    }

OSTREL_PREDICATE_LOGIC(sve_and_pppp, AndOp)
OSTREL_PREDICATE_LOGIC(sve_bic_pppp, BicOp)
OSTREL_PREDICATE_LOGIC(sve_eor_pppp, EorOp)
OSTREL_PREDICATE_LOGIC(sve_orr_pppp, OrrOp)
OSTREL_PREDICATE_LOGIC(sve_nor_pppp, NorOp)

#undef OSTREL_PREDICATE_LOGIC

aarch64_decode_rc sve_sel_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn, aarch64_p_reg pm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *g = state->p[pg.num], *n = state->p[pn.num], *m = state->p[pm.num];
    for (unsigned i = 0; i < vl_bytes; ++i)
        result[i] = ((g[i] & 1u) ? n[i] : m[i]) & 1u;
    ostrel::copy_vector(state->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}
