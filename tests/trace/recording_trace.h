// A recording stand-in for the trace-support library: keeps every record, hands out a running
// count, and notes whether each record was preceded by exactly one incr_count() on its thread
// whose value it carries.
#pragma once

#include <pthread.h>

#include <cstdint>
#include <vector>

#include "sve/trace/sve_mem_ref.h"

struct RecordedRef {
    sve_mem_ref_t ref;
    const sve_mem_ref_t *passed; // the address trace_mem() was given
    pthread_t thread;            // the thread that called trace_mem()
    bool count_fresh;            // one incr_count() since the thread's last record, value matches
};

namespace recording_trace {
// Clears the records and restarts the count; call while no other thread is tracing.
void reset();
std::vector<RecordedRef> records();
uint64_t incr_count_calls();
} // namespace recording_trace
