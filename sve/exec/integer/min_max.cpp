// SMAX, UMAX, SMIN, UMIN (vectors, predicated): the larger or smaller of two elements read
// signed or unsigned.
#include "sve/decode/forms.h"
#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/executor_shapes.h"

using namespace ostrel::integer;

aarch64_decode_rc sve_smax_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return run_merging<MaxElement<true>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_umax_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return run_merging<MaxElement<false>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_smin_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return run_merging<MinElement<true>>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_umin_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return run_merging<MinElement<false>>(state, zdn, pg, zm);
}
