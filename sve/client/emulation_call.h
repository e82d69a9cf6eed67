// The run-time side of an emulated instruction inside the framework, and the call that reaches it.
#pragma once

#include <cstdint>

#include "dr_api.h"

#include "sve/client/cpu_state.h"

namespace ostrel::client {

// What the inserted call hands the gate for one instruction, fixed when its block is built: the
// instruction's address in bits 0..47 (user addresses on AArch64 Linux are below 2^48), the
// index of its decode row in bits 48..62, so that nothing is looked up at run time, and in bit 63
// whether it takes the careful path (a load or store, or the instruction mix is counted).
uint64_t emulation_site(app_pc pc, uint32_t word);

// The gate's target, on the application thread and the thread's emulation stack: runs the
// handler of the site's row on the thread's register file and returns its result, which the gate
// hands to report_site_failure when it is not success. A word at the address that the row no
// longer matches (the program rewrote its code) fails as an unknown word would. Loads and stores
// run under the framework's fault recovery: a fault of the emulated access that no guarded read
// catches is reported and ends the process by the signal's default action, as it does without
// the framework. Other instructions touch no application memory and run without it.
aarch64_decode_rc emulate_site(cpu_state *state, uint64_t site);

// Reports that the instruction being emulated on `state` failed (emulate.h).
void report_site_failure(cpu_state *state);

// Inserts before `where` the call of the emulation of `word` at `pc`: X26 takes the site, X30
// the gate's address from the thread record, and a branch-and-link reaches the gate
// (emulation_gate.h), which keeps every register but X26 and X30. X27 holds the register file's
// address, moved by kZBias bytes when `biased`.
void insert_emulation_call(void *drcontext, instrlist_t *bb, instr_t *where, app_pc pc,
                           uint32_t word, bool biased);

} // namespace ostrel::client
