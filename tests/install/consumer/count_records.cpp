// Prints how many records the trace file argv[1] holds: the reader alone, found by pkg-config.
#include <cstdio>

#include "sve/trace/support/trace_file.h"

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    const ostrel::trace::TraceReadResult read = ostrel::trace::read_trace_file(argv[1]);
    if (!read.ok()) {
        std::fprintf(stderr, "%s\n", read.error.c_str());
        return 1;
    }
    std::printf("%zu\n", read.trace.records.size());
    return 0;
}
