// The trap library's per-thread register files: created at a thread's first emulated
// instruction, freed at its exit.
#pragma once

#include "sve/client/cpu_state.h"

namespace ostrel::runner {

// Once per process, before the first trap.
void start_thread_registers();

// The calling thread's register file, created when missing; null when it cannot be created.
cpu_state *registers_of_this_thread();

// The calling thread's register file, or null when the thread has not emulated anything yet.
cpu_state *existing_registers_of_this_thread();

} // namespace ostrel::runner
