// The shared bodies of the flag-setting and plain forms of BRKN and BRKPB.
#pragma once

#include "sve/client/cpu_state.h"

aarch64_decode_rc sve_brkn(cpu_state *state, aarch64_p_reg pdm, aarch64_p_reg pg, aarch64_p_reg pn,
                           bool setflags);
aarch64_decode_rc sve_brkpb(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_p_reg pn,
                            aarch64_p_reg pm, bool setflags);
