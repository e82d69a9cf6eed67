#include "sve/decode/host_fpsr.h"

#if !defined(__aarch64__)

namespace ostrel {
namespace {
// The host route's floating point is the soft-float layer here, which reports its flags at their
// FPSR positions; the host's own exception flags play no part.
thread_local uint32_t emulated_fpsr = 0;
} // namespace

uint32_t read_host_fpsr() {
    return emulated_fpsr;
}
void write_host_fpsr(uint32_t fpsr) {
    emulated_fpsr = fpsr;
}
void raise_host_fpsr_flags(uint32_t flags) {
    emulated_fpsr |= flags;
}
} // namespace ostrel

#endif
