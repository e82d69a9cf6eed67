// The run-time half of emulating one SVE instruction, shared by every front end (the
// instrumentation client and the trap runner): it runs the instruction's handler on the thread's
// register file and reports a failure on standard error.
#pragma once

#include <cstdint>

#include "sve/client/cpu_state.h"
#include "sve/client/mix_counters.h"

namespace ostrel {

// Prints "Error: failed to emulate SVE instruction 0x%08x at PC %p\n" with the 32-bit word stored
// at `pc` (what the user finds in a disassembly, whatever encoding the front end passed).
void report_emulation_failure(const unsigned char *pc);

// Emulates the instruction at `pc` whose encoding is `encoding` on `state`, whose general
// registers the front end has filled:
//  1. the PC field becomes `pc`;
//  2. the handler runs, and the instruction mix counts it when one was asked for
//     (sve/client/mix_session.h);
//  3. a non-zero result is reported (report_emulation_failure); the instruction still counts as
//     executed.
// Returns the handler's result, so a front end may act on it; the client ignores it.
inline aarch64_decode_rc emulate_sve_instruction(cpu_state *state, unsigned int encoding,
                                                 unsigned char *pc, sve_handler_t handler) {
    state->pc = pc;
    const aarch64_decode_rc rc = handler(state, encoding);
    mix::count_if_enabled(handler, rc, encoding, pc);
    if (rc != DECODE_OK) report_emulation_failure(pc);
    return rc;
}

} // namespace ostrel
