// Shift executors: by vector (predicated) and by immediate (predicated and unpredicated). Every
// amount has a result: at or above the element size ASR gives the sign fill, LSR and LSL 0.
#pragma once

#include "sve/client/cpu_state.h"

// Zdn, Pg/M, Zdn, Zm: each active element shifted by Zm's element, read unsigned.
aarch64_decode_rc sve_asr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_lsr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
aarch64_decode_rc sve_lsl_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm);
// Zd, Zn, #shift: the decoded amount, 1..esize for ASR and 0..esize-1 for LSL.
aarch64_decode_rc sve_asr_zzi(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              unsigned int shift);
aarch64_decode_rc sve_lsl_zzi(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              unsigned int shift);
// Zdn, Pg/M, Zdn, #shift.
aarch64_decode_rc sve_asr_zpi(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              unsigned int shift);
aarch64_decode_rc sve_lsl_zpi(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              unsigned int shift);
