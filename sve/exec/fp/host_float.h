// The host's floating-point unit as the host-route executors use it: single and double precision
// on element bit patterns (uint32_t, uint64_t). Each operation is one A64 scalar instruction's
// result and flags under the FPCR the application has set.
//
// On AArch64 the operations are those instructions, under the real FPCR (never written here), with
// flags in the real FPSR that the decode function exchanges around the executor. Elsewhere they
// come from the soft-float library, which is bit for bit the scalar instructions, run with the
// emulated FPCR (the mirror of the application's FPCR writes); the flags of one executor go into
// the emulated host FPSR when its HostFpu goes out of scope.
#pragma once

#include "sve/client/cpu_state.h"
#include "sve/exec/fp/lanes.h"
#include "sve/fplib/host_bits.h"

namespace ostrel::fp {
// The host's own type for an element pattern.
template <class T> using HostNative = fplib::HostFloatOf<T>;
} // namespace ostrel::fp

#if defined(__aarch64__)
#include "sve/exec/fp/host_float_aarch64.h"
#else
#include "sve/exec/fp/host_float_portable.h"
#endif
