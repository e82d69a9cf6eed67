// The host's floating-point status, as the FPSR of an AArch64 host. Executors that compute with
// host floating-point instructions run between write_host_fpsr and read_host_fpsr, so their
// exception flags accumulate onto the emulated FPSR. On AArch64 this is the FPSR register itself,
// read and written inline (a call would cost more than the access); elsewhere it is a per-thread
// word that the host-route floating-point layer (sve/exec/fp) raises its flags in.
#pragma once

#include <cstdint>

namespace ostrel {
#if defined(__aarch64__)
inline uint32_t read_host_fpsr() {
    uint64_t v;
    __asm__ volatile("mrs %0, fpsr" : "=r"(v));
    return static_cast<uint32_t>(v);
}
inline void write_host_fpsr(uint32_t fpsr) {
    const uint64_t v = fpsr;
    __asm__ volatile("msr fpsr, %0" : : "r"(v));
}
#else
uint32_t read_host_fpsr();
void write_host_fpsr(uint32_t fpsr);
// Sets the cumulative flag bits of `flags` in the emulated host FPSR.
void raise_host_fpsr_flags(uint32_t flags);
#endif
} // namespace ostrel
