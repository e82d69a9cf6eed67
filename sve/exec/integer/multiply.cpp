// MUL (vectors, immediate) and the multiply-add family MLA, MLS, MAD, MSB: every product is
// formed modulo 2^esize, so one element function serves signed and unsigned elements.
#include "sve/decode/forms.h"
#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/executor_shapes.h"

using namespace ostrel::integer;

aarch64_decode_rc sve_mul_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return run_merging<MulElement>(state, zdn, pg, zm);
}

// The signed 8-bit immediate arrives sign-extended; each element keeps the low esize bits of its
// product, for which the immediate's low esize bits suffice.
aarch64_decode_rc sve_mul_zi(cpu_state *state, aarch64_z_reg zdn, int imm) {
    return run_immediate<MulElement>(state, zdn, imm);
}

aarch64_decode_rc sve_mla_zpzz(cpu_state *state, aarch64_z_reg zda, aarch64_p_reg pg,
                               aarch64_z_reg zn, aarch64_z_reg zm) {
    return run_merging_ternary<MlaElement>(state, zda, pg, zn, zm);
}

aarch64_decode_rc sve_mls_zpzz(cpu_state *state, aarch64_z_reg zda, aarch64_p_reg pg,
                               aarch64_z_reg zn, aarch64_z_reg zm) {
    return run_merging_ternary<MlsElement>(state, zda, pg, zn, zm);
}

aarch64_decode_rc sve_mad_zpzz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm, aarch64_z_reg za) {
    return run_merging_ternary<MadElement>(state, zdn, pg, zm, za);
}

aarch64_decode_rc sve_msb_zpzz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm, aarch64_z_reg za) {
    return run_merging_ternary<MsbElement>(state, zdn, pg, zm, za);
}
