// SDIV, UDIV and the reversed SDIVR, UDIVR: 32- and 64-bit elements only. Nothing traps: a zero
// divisor gives 0 and the most negative value divided by -1 gives itself.
#include "sve/decode/forms.h"
#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/executor_shapes.h"

using namespace ostrel::integer;

aarch64_decode_rc sve_sdiv_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return run_merging_wide<DivElement<true>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_udiv_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return run_merging_wide<DivElement<false>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_sdivr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_z_reg zm) {
    return run_merging_wide<DivRElement<true>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_udivr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_z_reg zm) {
    return run_merging_wide<DivRElement<false>>(state, zdn, pg, zm);
}
