// Sign and zero extension executors, Zd, Pg/M, Zn: the low byte, halfword or word of each active
// element extended to the element size. UXTB runs as kernels.
#pragma once

#include "sve/client/cpu_state.h"

// H, S and D elements.
aarch64_decode_rc sve_sxtb_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn);
// S and D elements.
aarch64_decode_rc sve_sxth_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn);
aarch64_decode_rc sve_uxth_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn);
// D elements.
aarch64_decode_rc sve_sxtw_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn);
aarch64_decode_rc sve_uxtw_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn);
