// Predicate constants and the predicate test at the process's vector length: PFALSE, PTRUE
// and PTEST.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/vector_blocks.h"

using ostrel::kMaxVectorBytes;

aarch64_decode_rc sve_pfalse_p(cpu_state *state, aarch64_p_reg pd) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    ostrel::fill_vector(state->p[pd.num], 0, vl_bytes);
    return DECODE_OK;
}

// The first VecTrueILength elements true; every other byte, including the non-first bytes of
// wide elements, 0.
aarch64_decode_rc sve_ptrue_pi(cpu_state *state, aarch64_p_reg pd, unsigned int pattern) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint32_t size = ostrel::plain_type(pd);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    const uint32_t count = VecTrueILength(pattern, vl_bytes >> size);
    uint8_t result[kMaxVectorBytes] = {};
    for (uint32_t e = 0; e < count; ++e)
        result[e << size] = 1;
    ostrel::copy_vector(state->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}

aarch64_decode_rc sve_ptest_pp(cpu_state *state, aarch64_p_reg pg, aarch64_p_reg pn) {
    sve_ptest<unsigned char>(state, state->p[pg.num], state->p[pn.num]);
    return DECODE_OK;
}
