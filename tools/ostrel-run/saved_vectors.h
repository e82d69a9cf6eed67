// The SVE state that exists only in a thread's register file (Z, P, FFR), saved around a signal
// handler the way the kernel saves it in the signal frame on SVE hardware: predicates one bit per
// byte lane, at the longest vector length whatever the chosen one, so that a save takes 8.5 KiB
// of the handler's stack.
#pragma once

#include <cstdint>

#include "sve/client/cpu_state.h"

namespace ostrel::runner {

struct SavedVectors {
    static constexpr unsigned kPredicateBytes = kMaxVectorBytes / 8;
    uint8_t z[kNumZRegs][kMaxVectorBytes];
    uint8_t p[kNumPRegs][kPredicateBytes];
    uint8_t ffr[kPredicateBytes];
};

void save_vectors(const cpu_state &state, SavedVectors &saved);
void restore_vectors(const SavedVectors &saved, cpu_state &state);
// What a register file holds before its thread's first SVE instruction.
void clear_vectors(cpu_state &state);

} // namespace ostrel::runner
