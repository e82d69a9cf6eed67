// The first-fault register instructions at the process's vector length: SETFFR, WRFFR and
// RDFFR (plain and predicated).
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

using ostrel::kMaxVectorBytes;

aarch64_decode_rc sve_setffr(cpu_state *state) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    ostrel::fill_vector(state->ffr, 1, vl_bytes);
    return DECODE_OK;
}

// Copied as it is, stray bits included: FFR keeps whatever Pn holds.
aarch64_decode_rc sve_wrffr_p(cpu_state *state, aarch64_p_reg pn) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    ostrel::copy_vector(state->ffr, state->p[pn.num], vl_bytes);
    return DECODE_OK;
}

aarch64_decode_rc sve_rdffr_p(cpu_state *state, aarch64_p_reg pd) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    ostrel::copy_vector(state->p[pd.num], state->ffr, vl_bytes);
    return DECODE_OK;
}

// Computed into a temporary first, so that Pd may be Pg.
aarch64_decode_rc sve_rdffr_pp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *g = state->p[pg.num];
    for (unsigned i = 0; i < vl_bytes; ++i)
        result[i] = state->ffr[i] & g[i] & 1u;
    ostrel::copy_vector(state->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}
