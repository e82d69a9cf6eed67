// Memory trace records of the executors: the per-thread tracing switch, the
// contiguous tracer that coalesces runs of active elements, and (through the two headers below)
// the element-wise emitter and the region-of-interest markers. Executors include this one header.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "sve/client/cpu_state.h"
#include "sve/trace/element_trace.h"
#include "sve/trace/roi_marker.h"
#include "sve/trace/sve_mem_ref.h"

// Tracing is off in every thread until that thread executes a start marker.
extern thread_local bool enable_trace;
// The record handed over for markers; only its count and tid are ever written.
extern thread_local sve_mem_ref_t trace_roi;

namespace ostrel {

// Set once any thread turns its tracing on, and never cleared. Until then (a run without a
// region of interest) an access asks this one process-wide flag and not its thread's, which from
// a shared library is read through a call.
extern std::atomic<bool> g_tracing_started __attribute__((visibility("hidden")));

// Turns the calling thread's tracing on or off.
inline void set_thread_tracing(bool on) {
    if (on) g_tracing_started.store(true, std::memory_order_relaxed);
    enable_trace = on;
}

// Whether the calling thread's accesses are traced.
inline bool thread_tracing() {
    return __builtin_expect(g_tracing_started.load(std::memory_order_relaxed), false) &&
           enable_trace;
}

// The record's tid: the low 32 bits of the calling thread's pthread_t.
inline uint32_t current_thread_tid() {
    return static_cast<uint32_t>(pthread_self());
}

// One coalesced record (seq_flags 0) for `size` bytes at `addr`.
void emit_coalesced_record(const cpu_state *cpu, memaccess_type_t type, uint64_t addr,
                           uint64_t size);

} // namespace ostrel

// The records of a finished contiguous access: T is the memory element, U the register element, so
// the access has vector_bytes() / sizeof(U) elements, element i governed by the predicate byte at
// i * sizeof(U). Each maximal run of active elements becomes one record, in ascending order.
template <typename T, typename U>
[[gnu::noinline]] void memtrace_lin_records(cpu_state *cpu, T *base, char *predicate,
                                            memaccess_type_t type) {
    static_assert(sizeof(T) <= sizeof(U), "memory elements never exceed register elements");
    static_assert(ostrel::kMaxVectorBytes % sizeof(U) == 0, "register element must divide the VL");
    const unsigned elements = ostrel::vector_bytes() / sizeof(U);
    auto active = [predicate](unsigned i) { return (predicate[i * sizeof(U)] & 1) != 0; };

    unsigned num_active = 0;
    for (unsigned i = 0; i < elements; ++i)
        num_active += active(i);
    if (num_active == 0) return;

    // Integer arithmetic: the guest address need not be a valid pointer of this process.
    const uint64_t base_addr = reinterpret_cast<uintptr_t>(base);
    auto emit_run = [&](unsigned start, unsigned length) {
        ostrel::emit_coalesced_record(cpu, type, base_addr + uint64_t{start} * sizeof(T),
                                      uint64_t{length} * sizeof(T));
    };
    if (num_active == elements) {
        emit_run(0, elements);
        return;
    }

    unsigned run_start = 0;
    unsigned run_length = 0;
    for (unsigned i = 0; i < elements; ++i) {
        if (active(i)) {
            if (run_length == 0) run_start = i;
            ++run_length;
        } else if (run_length != 0) {
            emit_run(run_start, run_length);
            run_length = 0;
        }
    }
    if (run_length != 0) emit_run(run_start, run_length);
}

// Records a finished contiguous access when the calling thread traces (see memtrace_lin_records).
// Inline, so that the usual case, no tracing, is one branch in the executor.
template <typename T, typename U>
inline void memtrace_lin(cpu_state *cpu, T *base, char *predicate, memaccess_type_t type) {
    if (ostrel::thread_tracing()) memtrace_lin_records<T, U>(cpu, base, predicate, type);
}
