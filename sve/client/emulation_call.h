// The run-time side of an emulated instruction inside the framework.
#pragma once

#include "sve/client/cpu_state.h"

namespace ostrel::client {

// Clean-call target of the emulation sequence, on the application thread: runs `handler` on the
// thread's register file with X26..X28 taken from (and given back to) the spill slots. A fault
// of the emulated access that no guarded read catches is reported and ends the process by the
// signal's default action, as it does without the framework.
void emulate_instruction(unsigned int encoding, unsigned char *pc, sve_handler_t handler);

} // namespace ostrel::client
