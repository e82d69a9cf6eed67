// The break instructions at the process's vector length: BRKA, BRKB (merging and zeroing),
// BRKN, BRKNS, BRKPB and BRKPBS. All work at byte granularity.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/break_rules.h"
#include "sve/exec/integer/breaks.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/vector_blocks.h"

namespace {

using ostrel::kMaxVectorBytes;
using namespace ostrel::pred;

template <bool After>
aarch64_decode_rc break_first_bytes(cpu_state *s, const aarch64_p_reg &pd, const aarch64_p_reg &pg,
                                    const aarch64_p_reg &pn) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const bool merging = ostrel::plain_type(pg) == ostrel::kPredMerging;
    const ByteReader old{s->p[pd.num]};
    uint8_t result[kMaxVectorBytes];
    break_first<After>(
        vl_bytes, ByteReader{s->p[pg.num]}, ByteReader{s->p[pn.num]},
        [&](unsigned i) { return merging && old(i); }, ByteWriter{result});
    ostrel::copy_vector(s->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_brka_ppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn) {
    return break_first_bytes<true>(state, pd, pg, pn);
}
aarch64_decode_rc sve_brkb_ppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                               aarch64_p_reg pn) {
    return break_first_bytes<false>(state, pd, pg, pn);
}

// Pdm survives only when Pn is true at the last active byte of Pg; the flags test Pdm against an
// all-true mask.
aarch64_decode_rc sve_brkn(cpu_state *state, aarch64_p_reg pdm, aarch64_p_reg pg, aarch64_p_reg pn,
                           bool setflags) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t *dm = state->p[pdm.num];
    if (!last_active_true(vl_bytes, ByteReader{state->p[pg.num]}, ByteReader{state->p[pn.num]}))
        ostrel::fill_vector(dm, 0, vl_bytes);
    if (setflags) {
        uint8_t all_true[kMaxVectorBytes];
        ostrel::fill_vector(all_true, 1, vl_bytes);
        sve_ptest<unsigned char>(state, all_true, dm);
    }
    return DECODE_OK;
}
aarch64_decode_rc sve_brkn_ppp(cpu_state *state, aarch64_p_reg pdm, aarch64_p_reg pg,
                               aarch64_p_reg pn) {
    return sve_brkn(state, pdm, pg, pn, false);
}
aarch64_decode_rc sve_brkns_ppp(cpu_state *state, aarch64_p_reg pdm, aarch64_p_reg pg,
                                aarch64_p_reg pn) {
    return sve_brkn(state, pdm, pg, pn, true);
}

aarch64_decode_rc sve_brkpb(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_p_reg pn,
                            aarch64_p_reg pm, bool setflags) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes] = {}; // the compiler cannot see that every byte is written
    const uint8_t *g = state->p[pg.num];
    break_previous<false>(vl_bytes, ByteReader{g}, ByteReader{state->p[pn.num]},
                          ByteReader{state->p[pm.num]}, ByteWriter{result});
    if (setflags) sve_ptest<unsigned char>(state, g, result);
    ostrel::copy_vector(state->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}
aarch64_decode_rc sve_brkpb_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_p_reg pn, aarch64_p_reg pm) {
    return sve_brkpb(state, pd, pg, pn, pm, false);
}
aarch64_decode_rc sve_brkpbs_pppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                  aarch64_p_reg pn, aarch64_p_reg pm) {
    return sve_brkpb(state, pd, pg, pn, pm, true);
}
