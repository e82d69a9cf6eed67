// Entry points of the trace-support library, a shared library of its own (libostrel_trace.so).
// The emulator calls incr_count() and then trace_mem() once per record, from any thread.
#pragma once

#include <cstdint>

#include "sve/trace/sve_mem_ref.h"

#define OSTREL_TRACE_EXPORT __attribute__((visibility("default")))

// Readies the library. The first argument is unused; app_name names the traced program.
OSTREL_TRACE_EXPORT bool sve_init(void *unused, const char *app_name);
// Flushes every record still buffered and closes the trace.
OSTREL_TRACE_EXPORT void sve_exit();
// A running per-process record count.
OSTREL_TRACE_EXPORT uint64_t incr_count();
// Takes one record; the reference is valid only for the duration of the call.
OSTREL_TRACE_EXPORT void trace_mem(sve_mem_ref_t const &ref);
