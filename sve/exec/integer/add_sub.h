// ADD and SUB executors: vectors (predicated and unpredicated) and the unsigned immediate.
// Byte-element ADD (immediate) also carries the region-of-interest markers.
#pragma once

#include "sve/client/cpu_state.h"

// Zdn, Pg/M, Zdn, Zm.
aarch64_decode_rc sve_add_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_sub_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
// Zd, Zn, Zm.
aarch64_decode_rc sve_add_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_sub_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm);
// Zdn, Zdn, #imm: the immediate already shifted (imm8 or imm8 << 8); each element takes its
// low esize bits.
aarch64_decode_rc sve_add_zi(cpu_state *state, aarch64_z_reg zdn, unsigned int imm);
aarch64_decode_rc sve_sub_zi(cpu_state *state, aarch64_z_reg zdn, unsigned int imm);
