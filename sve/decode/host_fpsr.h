// The host's floating-point status, as the FPSR of an AArch64 host. Executors that compute with
// host floating-point instructions run between write_host_fpsr and read_host_fpsr, so their
// exception flags accumulate onto the emulated FPSR. On AArch64 this is the FPSR register itself;
// elsewhere the cumulative flags are mapped from the host's exception flags and the other FPSR
// bits are kept per thread.
#pragma once

#include <cstdint>

namespace ostrel {
uint32_t read_host_fpsr();
void write_host_fpsr(uint32_t fpsr);
} // namespace ostrel
