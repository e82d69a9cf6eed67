// Bitwise logical executors on Z registers: vectors (unpredicated over the whole register,
// predicated per element) and the bitmask immediate, and DUPM.
#pragma once

#include "sve/client/cpu_state.h"
#include "sve/exec/integer/logical64_imm.h"

// Zd, Zn, Zm: every byte of the register.
aarch64_decode_rc sve_and_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_orr_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_eor_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_bic_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm);
// Zdn, Pg/M, Zdn, Zm.
aarch64_decode_rc sve_and_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_orr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_eor_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_bic_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
// Zdn, Zdn, #imm and Zd, #imm: the 64-bit pattern on every 64-bit lane.
aarch64_decode_rc sve_and_zi(cpu_state *state, aarch64_z_reg zdn, aarch64_sve_logical64_imm imm);
aarch64_decode_rc sve_orr_zi(cpu_state *state, aarch64_z_reg zdn, aarch64_sve_logical64_imm imm);
aarch64_decode_rc sve_eor_zi(cpu_state *state, aarch64_z_reg zdn, aarch64_sve_logical64_imm imm);
aarch64_decode_rc sve_dupm_zi(cpu_state *state, aarch64_z_reg zd, aarch64_sve_logical64_imm imm);
