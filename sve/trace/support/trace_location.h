// Where the trace goes and what the traced program is called when nobody said.
#pragma once

#include <cstdint>
#include <string>

namespace ostrel::trace {

inline constexpr const char *kTraceFileVariable = "OSTREL_TRACE_FILE";

// Whether the user named the trace file ($OSTREL_TRACE_FILE set and not empty).
bool trace_file_named();

// $OSTREL_TRACE_FILE when set and not empty, else ostrel-<pid>.trace in the working directory.
std::string trace_file_path(uint32_t pid);

// The running program's short name, for a trace started before anybody named it.
std::string own_program_name();

} // namespace ostrel::trace
