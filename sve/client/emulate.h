// The run-time half of emulating one SVE instruction, shared by every front end (the
// instrumentation client and the trap runner): it runs the instruction's handler on the thread's
// register file and reports a failure on standard error.
#pragma once

#include <cstdint>

#include "sve/client/cpu_state.h"

namespace ostrel {

// The application's X26, X27 and X28. A front end that cannot copy these three registers into the
// register file with the others (the instrumentation client parks them in spill slots around the
// call) hands them over here, and takes back what the instruction left in them.
struct ParkedRegisters {
    uint64_t x26, x27, x28;
};

// Emulates the instruction at `pc` whose encoding is `encoding` on `state`:
//  1. the PC field becomes `pc`;
//  2. when `parked` is not null, the X26..X28 fields are filled from it (a null `parked` means the
//     front end filled them itself);
//  3. the handler runs, and the instruction mix counts it when one was asked for
//     (sve/client/mix_session.h);
//  4. a non-zero result prints "Error: failed to emulate SVE instruction 0x%08x at PC %p\n" with
//     the 32-bit word stored at `pc` to stderr; the instruction still counts as executed;
//  5. when `parked` is not null, it receives the X26..X28 fields.
// Returns the handler's result, so a front end may act on it; the client ignores it.
aarch64_decode_rc emulate_sve_instruction(cpu_state *state, unsigned int encoding,
                                          unsigned char *pc, sve_handler_t handler,
                                          ParkedRegisters *parked);

} // namespace ostrel
