// The host-specific part of the readability probe: a one-byte load at a known address, and moving
// a thread that faulted on it past the load through its signal context.
#pragma once

#include <cstdint>

namespace ostrel::host {

// Reads one byte at `p` with a single load instruction at probe_load_address(). When the load
// faults and the handler calls skip_probe_load, the call returns an unspecified value.
uint8_t probe_byte(const volatile char *p);

// Address of the load instruction in probe_byte.
uintptr_t probe_load_address();

// Saved program counter of a signal context (the `void *` third argument of an SA_SIGINFO
// handler).
uintptr_t context_pc(const void *ucontext);

// When the context stopped at the probe's load, moves its program counter to the instruction after
// the load and returns true; any other context is left alone and false returned. The address
// comparison is what tells the probe's fault from another fault arriving at the same handler.
bool skip_probe_load(void *ucontext);

} // namespace ostrel::host
