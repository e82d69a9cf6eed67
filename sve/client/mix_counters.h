// Instruction-mix counting on the emulation path: per decode row and per thread, split by whether
// the thread was inside its region of interest. The owning thread is the only writer of its
// counters, so counting takes no lock and no read-modify-write; the report sums every thread's
// counters at exit. Safe inside a signal handler (the trap runner counts from its SIGILL handler).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sve/client/cpu_state.h"
#include "sve/decode/decode_rows.h"

namespace ostrel::mix {

// Counts are indexed [in region][row].
enum Scope : unsigned { kOutsideRegion = 0, kInsideRegion = 1 };

struct UnimplementedWord {
    uint32_t word = 0;
    uint64_t count[2] = {0, 0}; // by Scope
    uint64_t first_pc = 0;      // of the whole run
};

// What the report is made of: every thread's counts added up.
struct MixSnapshot {
    std::vector<uint64_t> rows[2]; // by Scope, kNumRows each
    std::vector<UnimplementedWord> unimplemented;
    uint64_t unimplemented_not_kept = 0; // meetings of words beyond the table's room
};

// Off until enable(); counting while off costs one load and a branch.
extern std::atomic<bool> g_counting;

void enable();
// Counts one emulated instruction of `handler`'s row on the calling thread; a word whose row
// reported itself unimplemented is also remembered with its first PC.
void count(sve_handler_t handler, aarch64_decode_rc rc, uint32_t word, const void *pc);

inline void count_if_enabled(sve_handler_t handler, aarch64_decode_rc rc, uint32_t word,
                             const void *pc) {
    if (g_counting.load(std::memory_order_relaxed)) count(handler, rc, word, pc);
}

// The sums so far. Threads still running may add to their counters meanwhile; the snapshot then
// holds some of their latest instructions and not others.
MixSnapshot snapshot();

} // namespace ostrel::mix
