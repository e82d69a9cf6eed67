// Predicate counts at the process's vector length: CNTP and INCP (scalar).
#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_access.h"

using ostrel::kMaxVectorBytes;
using namespace ostrel::pred;

// Elements (size from Pn) active in both Pg and Pn. XZR as Xd takes nothing.
aarch64_decode_rc sve_cntp_rpp(cpu_state *state, aarch64_i_reg xd, aarch64_p_reg pg,
                               aarch64_p_reg pn) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint32_t size = ostrel::plain_type(pn);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    const uint32_t count = count_active_both(vl_bytes, 1u << size, ByteReader{state->p[pg.num]},
                                             ByteReader{state->p[pn.num]});
    ostrel::write_gpr(*state, xd, count);
    return DECODE_OK;
}

// Xdn plus the active elements of Pm (size from Pm), modulo 2^64.
aarch64_decode_rc sve_incp_rp(cpu_state *state, aarch64_i_reg xdn, aarch64_p_reg pm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint32_t size = ostrel::plain_type(pm);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    const uint32_t count = count_active(vl_bytes, 1u << size, ByteReader{state->p[pm.num]});
    ostrel::write_gpr(*state, xdn, ostrel::read_gpr(*state, xdn, true) + count, true);
    return DECODE_OK;
}
