// The registers a SIGILL trap hands over: the AArch64 signal frame's general registers, SP, PC,
// NZCV and its FP/SIMD record (V0-V31, FPSR, FPCR). Copying them into a thread's cpu_state and back
// gives the emulated instruction the same view the instrumented client's register copy gives.
#pragma once

#include <ucontext.h>

#include "sve/client/cpu_state.h"

namespace ostrel::runner {

// False when the frame has no FP/SIMD record (then nothing is copied).
bool copy_frame_to_state(const ucontext_t &frame, cpu_state &state);
void copy_state_to_frame(const cpu_state &state, ucontext_t &frame);

uint64_t frame_pc(const ucontext_t &frame);
void set_frame_pc(ucontext_t &frame, uint64_t pc);

} // namespace ostrel::runner
