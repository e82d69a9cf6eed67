// The process's one trace: not started, then (waiting for its first record, when nobody named the
// file) open, then closed for good.
#pragma once

#include "sve/trace/sve_mem_ref.h"

namespace ostrel::trace {

// Starts the trace: opens a file the user named at once, and otherwise leaves the default file
// to the first record. Only the first call of the process does anything; null or empty
// `app_name` means the program's own name.
void start_trace(const char *app_name);

// Writes out every thread's buffered records and closes the file. Records that arrive
// afterwards are dropped. Only the first call does anything.
void finish_trace();

// Takes one record on the calling thread, starting the trace if nobody has yet.
void record(const sve_mem_ref_t &ref);

} // namespace ostrel::trace
