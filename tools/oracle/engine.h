// The engine side of a case: the emulator's handler for the encoding, run on a cpu_state
// loaded from the case, with the case's memory in the window at its fixed address.
#pragma once

#include <string>

#include "tools/oracle/case_io.h"

namespace ostrel::oracle {

// Maps the window with an inaccessible guard page on either side, and stops the trace
// library from ever opening a trace file (a random case may be a region-of-interest marker).
// False with a message when the window's address range is taken.
bool prepare_engine(std::string &error);

// Whether a case's vector length is one the emulator runs at.
bool engine_accepts_length(uint32_t vector_bits);

// Runs one case at the case's vector length (the process's length follows it). Faults inside the
// handler are caught and reported, the handler's messages on standard error are discarded.
Result run_engine_case(const Case &c);

} // namespace ostrel::oracle
