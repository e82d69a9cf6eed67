// What the client keeps for each application thread: the register file, which the thread-local
// field points at, and right after it what the emulation gate needs. The gate reaches these
// fields at fixed offsets from the register file's address, which the emulation sequence
// already holds in a register.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dr_api.h"

#include "sve/client/cpu_state.h"

namespace ostrel::client {

// How an emulation sequence addresses the file. The scaled Q-register transfer reaches multiples
// of 16 only, and the Z fields need not start at one: when any Z register is copied, X27 points
// `kZBias` bytes away from the file, so that every Z field sits at a multiple of 16 from it and
// every other field still at a positive offset.
constexpr int kOffsetZ = offsetof(cpu_state, z);
constexpr int kZStride = sizeof(cpu_state::z[0]);
constexpr int kZBias = kOffsetZ % 16 == 0 ? 0 : kOffsetZ % 16 - 16;
static_assert(kZBias <= 0);
static_assert((kOffsetZ - kZBias) % 16 == 0 && kZStride % 16 == 0);
static_assert(static_cast<int>(offsetof(cpu_state, x)) - kZBias >= 0);

struct ThreadRecord {
    cpu_state state;
    // The emulation gates (emulation_gate.h) for X27 at the file and for X27 moved by kZBias: a
    // sequence loads its gate's address from here, one instruction instead of a constant's three.
    uint64_t gate_address[2];
    // The gate's: the emulation site while the gate switches stacks, the application's stack
    // pointer, the top of the thread's emulation stack, the run-time entry it calls and the
    // report it calls when that fails.
    uint64_t gate_site;
    uint64_t gate_app_sp;
    uint64_t gate_stack_top;
    uint64_t gate_entry;
    uint64_t gate_failure;
    void *stack_mapping; // the emulation stack's mapping, its guard page first
};
static_assert(offsetof(ThreadRecord, state) == 0);

// The emulation stack: the handlers, the trace library and the framework's fault recovery run
// on it. Far more than any of them needs; untouched pages cost nothing.
constexpr std::size_t kEmulationStackBytes = 256 * 1024;

// A raw framework thread-local slot that holds the register file's address too: an emulation
// sequence reads it with one load, where the drmgr field (which the thread events use) takes two.
// allocate_state_slot runs once at start-up, before any block is built; create_thread_record fills
// the slot of the calling thread.
void allocate_state_slot();
void insert_read_state_slot(void *drcontext, instrlist_t *bb, instr_t *where, reg_id_t into);

// Allocates and sets up the calling thread's record (the register file is not cleared: it holds
// whatever the heap held until the program sets it, as hardware would after an unknown history).
ThreadRecord *create_thread_record(void *drcontext);
void destroy_thread_record(void *drcontext, ThreadRecord *record);

} // namespace ostrel::client
