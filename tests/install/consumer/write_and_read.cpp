// Writes three records through the trace-support library into argv[1] and reads them back.
#include <cstdio>
#include <cstdlib>

#include "sve/trace/support/trace_file.h"
#include "sve/trace/trace_support.h"

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    setenv("OSTREL_TRACE_FILE", argv[1], 1);
    sve_init(nullptr, "consumer");
    for (uint64_t i = 0; i < 3; ++i) {
        sve_mem_ref_t ref{};
        ref.count = incr_count();
        ref.type = MEMACCESS_READ;
        ref.size = 8;
        ref.addr = 0x1000 + 8 * i;
        trace_mem(ref);
    }
    sve_exit();
    const ostrel::trace::TraceReadResult read = ostrel::trace::read_trace_file(argv[1]);
    if (!read.ok()) {
        std::fprintf(stderr, "%s\n", read.error.c_str());
        return 1;
    }
    std::printf("%zu records from %s\n", read.trace.records.size(),
                read.trace.header.app_name.c_str());
    return 0;
}
