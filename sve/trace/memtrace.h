// Memory trace records of the executors: the per-thread tracing switch, the
// contiguous tracer that coalesces runs of active elements, and (through the two headers below)
// the element-wise emitter and the region-of-interest markers. Executors include this one header.
#pragma once

#include <pthread.h>

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

// The record's tid: the low 32 bits of the calling thread's pthread_t.
inline uint32_t current_thread_tid() {
    return static_cast<uint32_t>(pthread_self());
}

// One coalesced record (seq_flags 0) for `size` bytes at `addr`.
void emit_coalesced_record(const cpu_state *cpu, memaccess_type_t type, uint64_t addr,
                           uint64_t size);

} // namespace ostrel

// Records a finished contiguous access: T is the memory element, U the register element, so the
// access has vector_bytes() / sizeof(U) elements and element i is governed by predicate byte i *
// sizeof(U). Each maximal run of active elements becomes one record, in ascending order.
template <typename T, typename U>
void memtrace_lin(cpu_state *cpu, T *base, char *predicate, memaccess_type_t type) {
    static_assert(sizeof(T) <= sizeof(U), "memory elements never exceed register elements");
    static_assert(ostrel::kMaxVectorBytes % sizeof(U) == 0, "register element must divide the VL");
    if (!enable_trace) return;

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
