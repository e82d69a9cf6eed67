#include "sve/decode/host_fpsr.h"

#if defined(__aarch64__)

namespace ostrel {
uint32_t read_host_fpsr() {
    uint64_t v;
    __asm__ volatile("mrs %0, fpsr" : "=r"(v));
    return static_cast<uint32_t>(v);
}
void write_host_fpsr(uint32_t fpsr) {
    const uint64_t v = fpsr;
    __asm__ volatile("msr fpsr, %0" : : "r"(v));
}
} // namespace ostrel

#else

#include <cfenv>

namespace ostrel {
namespace {
// FPSR cumulative exception bits and the host exceptions that set them.
struct FlagMap {
    uint32_t fpsr_bit;
    int host_flag;
};
constexpr FlagMap kFlags[] = {
    {1u << 0, FE_INVALID},   {1u << 1, FE_DIVBYZERO}, {1u << 2, FE_OVERFLOW},
    {1u << 3, FE_UNDERFLOW}, {1u << 4, FE_INEXACT},
};
constexpr uint32_t kMappedBits = 0x1f;
// FPSR bits the host has no flag for (IDC, QC, ...), kept as last written.
thread_local uint32_t unmapped_bits = 0;
} // namespace

uint32_t read_host_fpsr() {
    uint32_t fpsr = unmapped_bits;
    const int raised = std::fetestexcept(FE_ALL_EXCEPT);
    for (const FlagMap &f : kFlags)
        if (raised & f.host_flag) fpsr |= f.fpsr_bit;
    return fpsr;
}

void write_host_fpsr(uint32_t fpsr) {
    unmapped_bits = fpsr & ~kMappedBits;
    int flags = 0;
    for (const FlagMap &f : kFlags)
        if (fpsr & f.fpsr_bit) flags |= f.host_flag;
    // Set the flags' state directly: raising them could raise others too (overflow brings
    // inexact on x86). glibc's fexcept_t holds the FE_* bits themselves.
    const fexcept_t state = static_cast<fexcept_t>(flags);
    std::fesetexceptflag(&state, FE_ALL_EXCEPT);
}
} // namespace ostrel

#endif
