// The first-fault register instructions on the fixed 1536-bit register file: SETFFR, WRFFR and
// RDFFR (plain and predicated).
#include <cstring>

#include "sve/decode/forms.h"

using ostrel::kVectorBytes;

aarch64_decode_rc sve_setffr(cpu_state *state) {
    std::memset(state->ffr, 1, kVectorBytes);
    return DECODE_OK;
}

// Copied as it is, stray bits included: FFR keeps whatever Pn holds.
aarch64_decode_rc sve_wrffr_p(cpu_state *state, aarch64_p_reg pn) {
    std::memcpy(state->ffr, state->p[pn.num], kVectorBytes);
    return DECODE_OK;
}

aarch64_decode_rc sve_rdffr_p(cpu_state *state, aarch64_p_reg pd) {
    std::memcpy(state->p[pd.num], state->ffr, kVectorBytes);
    return DECODE_OK;
}

// Computed into a temporary first, so that Pd may be Pg.
aarch64_decode_rc sve_rdffr_pp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg) {
    uint8_t result[kVectorBytes];
    const uint8_t *g = state->p[pg.num];
    for (unsigned i = 0; i < kVectorBytes; ++i)
        result[i] = state->ffr[i] & g[i] & 1u;
    std::memcpy(state->p[pd.num], result, kVectorBytes);
    return DECODE_OK;
}
