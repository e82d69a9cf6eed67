// Predicate constants and the predicate test on the fixed 1536-bit register file: PFALSE, PTRUE
// and PTEST.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_flags.h"

using ostrel::kVectorBytes;

aarch64_decode_rc sve_pfalse_p(cpu_state *state, aarch64_p_reg pd) {
    std::memset(state->p[pd.num], 0, kVectorBytes);
    return DECODE_OK;
}

// The first VecTrueILength elements true; every other byte, including the non-first bytes of
// wide elements, 0.
aarch64_decode_rc sve_ptrue_pi(cpu_state *state, aarch64_p_reg pd, unsigned int pattern) {
    const uint32_t size = ostrel::plain_type(pd);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    const uint32_t count = VecTrueILength(pattern, kVectorBytes >> size);
    uint8_t result[kVectorBytes] = {};
    for (uint32_t e = 0; e < count; ++e)
        result[e << size] = 1;
    std::memcpy(state->p[pd.num], result, kVectorBytes);
    return DECODE_OK;
}

aarch64_decode_rc sve_ptest_pp(cpu_state *state, aarch64_p_reg pg, aarch64_p_reg pn) {
    sve_ptest<unsigned char>(state, state->p[pg.num], state->p[pn.num]);
    return DECODE_OK;
}
