// Half-precision arithmetic on the host's floating-point unit, for AArch64 hosts that have it
// (FEAT_FP16: Linux reports FPHP and ASIMDHP). Each operation is the vector instruction on one
// 16-byte block of eight halves, under the application's FPCR (FZ16, DN, RMode), with flags in
// the real FPSR, so each lane's result and flags are the scalar instruction's. Hosts without it,
// and other architectures, keep the half kernels' software library, which gives the same results.
#pragma once

#include <cstdint>

#include "sve/exec/fp/lanes.h"

#if defined(__aarch64__)
#include <asm/hwcap.h>

#include "sve/exec/fp/host_hwcap.h"
#endif

namespace ostrel::fp {

#if defined(__aarch64__)

constexpr bool kHalfLanesBuilt = true;

inline bool host_has_half_arithmetic() {
    static const bool has = [] {
        const unsigned long hwcap = host_hwcap();
        return (hwcap & HWCAP_FPHP) != 0 && (hwcap & HWCAP_ASIMDHP) != 0;
    }();
    return has;
}

// The assembler is told of the extension in each statement; the caller has checked the host.
#define OSTREL_HALF_LANES_BINARY(name, insn)                                                       \
    inline Lanes<uint16_t> name##_half_lanes(Lanes<uint16_t> a, Lanes<uint16_t> b) {               \
        Lanes<uint16_t> r;                                                                         \
        __asm__ volatile(".arch_extension fp16\n\t" insn " %0.8h, %1.8h, %2.8h"                    \
                         : "=w"(r)                                                                 \
                         : "w"(a), "w"(b));                                                        \
        return r;                                                                                  \
    }
OSTREL_HALF_LANES_BINARY(add, "fadd")
OSTREL_HALF_LANES_BINARY(sub, "fsub")
OSTREL_HALF_LANES_BINARY(mul, "fmul")
#undef OSTREL_HALF_LANES_BINARY

#else

constexpr bool kHalfLanesBuilt = false;
inline bool host_has_half_arithmetic() {
    return false;
}

#endif

} // namespace ostrel::fp
