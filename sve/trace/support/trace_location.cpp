#include "sve/trace/support/trace_location.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace ostrel::trace {

bool trace_file_named() {
    const char *configured = std::getenv(kTraceFileVariable);
    return configured && *configured;
}

std::string trace_file_path(uint32_t pid) {
    const char *configured = std::getenv(kTraceFileVariable);
    if (configured && *configured) return configured;
    return "ostrel-" + std::to_string(pid) + ".trace";
}

std::string own_program_name() {
    // glibc's copy of argv[0] comes first: /proc/self/comm is cut to 15 characters and, under
    // a user-mode emulator, may name the emulator. A privately loaded libc copy may never
    // have had it set, hence the fallback.
    if (program_invocation_short_name && *program_invocation_short_name)
        return program_invocation_short_name;
    std::string name;
    if (std::FILE *comm = std::fopen("/proc/self/comm", "r")) {
        char line[64];
        if (std::fgets(line, sizeof line, comm)) name = line;
        std::fclose(comm);
    }
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
        name.pop_back();
    return name.empty() ? "unknown" : name;
}

} // namespace ostrel::trace
