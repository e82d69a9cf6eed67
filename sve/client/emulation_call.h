// The run-time side of an emulated instruction inside the framework, and the call that reaches it.
#pragma once

#include "dr_api.h"

#include "sve/client/cpu_state.h"

namespace ostrel::client {

// Target of the emulation gate, on the application thread: runs the handler of the SVE
// instruction at `pc` (looked up from the word there) on the thread's register file, with
// X26..X28 taken from (and given back to) the spill slots. A fault of the emulated access that no
// guarded read catches is reported and ends the process by the signal's default action, as it
// does without the framework.
void emulate_instruction_at(unsigned char *pc);

// Inserts before `where` the call of the emulation of the instruction at `pc`: X26 takes `pc`,
// and a branch-and-link reaches the gate, a routine shared by every block and thread that makes
// a clean call to emulate_instruction_at and returns. The framework's clean call saves and
// restores every register, flags and SIMD registers included, except X26 and X30, which the
// inserted code itself changes: the caller keeps them.
void insert_emulation_call(void *drcontext, instrlist_t *bb, instr_t *where, app_pc pc);

} // namespace ostrel::client
