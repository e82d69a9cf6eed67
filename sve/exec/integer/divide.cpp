// SDIV, UDIV and the reversed SDIVR, UDIVR: 32- and 64-bit elements only. Nothing traps: a zero
// divisor gives 0 and the most negative value divided by -1 gives itself.
#include "sve/decode/forms.h"
#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/element_loops.h"

using namespace ostrel::integer;

namespace {

// Size code 3 selects 64-bit elements; every other code 32-bit ones.
template <typename Op>
aarch64_decode_rc divide(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm) {
    if (ostrel::read_write_type(zdn) == 3)
        merging_binary<Op, uint64_t>(*s, zdn.num, pg.num, zm.num);
    else
        merging_binary<Op, uint32_t>(*s, zdn.num, pg.num, zm.num);
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_sdiv_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return divide<DivElement<true>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_udiv_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return divide<DivElement<false>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_sdivr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_z_reg zm) {
    return divide<DivRElement<true>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_udivr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_z_reg zm) {
    return divide<DivRElement<false>>(state, zdn, pg, zm);
}
