// Unary executors of the bit family, Zd, Pg/M, Zn: NEG, RBIT and REVW; the other unary forms of
// the family run as kernels.
#pragma once

#include "sve/client/cpu_state.h"

// Active: 0 - Zn modulo 2^esize (the most negative value stays itself).
aarch64_decode_rc sve_neg_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                              aarch64_z_reg zn);
// Active: the element's bits in reverse order.
aarch64_decode_rc sve_rbit_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn);
// 64-bit elements only; active: the two 32-bit halves swapped.
aarch64_decode_rc sve_revw_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn);
