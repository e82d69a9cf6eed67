// The emulation gate: one routine, shared by every block and thread, between an emulation
// sequence and emulate_site. Entered by a branch-and-link with X27 = the register file's address
// (possibly moved by kZBias bytes) and X26 = the emulation site, it moves onto the thread's
// emulation stack (thread_record.h), saves what a C++ call may change (X0..X18, X30, NZCV, FPSR,
// V0..V31), calls emulate_site, restores them and returns. X26 comes back changed; X27, X28 and the
// callee-saved registers are kept by the callee itself. A framework clean call would also do, at
// about three times the cost: it saves and restores the whole machine state and switches to the
// framework's stack through its own bookkeeping.
#pragma once

#include "dr_api.h"

namespace ostrel::client {

// The gate for X27 at the register file (`biased` false) or moved by kZBias bytes
// (thread_record.h), built on first use.
app_pc emulation_gate(void *drcontext, bool biased);

} // namespace ostrel::client
