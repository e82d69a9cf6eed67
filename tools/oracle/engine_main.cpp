// ostrel-oracle-engine: reads oracle cases on standard input, runs each through the emulator's
// handler for its encoding and writes one result per case on standard output.
#include <unistd.h>

#include <cstdio>

#include "tools/oracle/engine.h"

int main() {
    using namespace ostrel::oracle;
    std::string error;
    if (!prepare_engine(error)) {
        std::fprintf(stderr, "ostrel-oracle-engine: %s\n", error.c_str());
        return 1;
    }
    Case c;
    for (;;) {
        const ReadStatus status = read_case(STDIN_FILENO, c);
        if (status == ReadStatus::end) return 0;
        if (status == ReadStatus::malformed || !engine_accepts_length(c.header.vector_bits)) {
            std::fprintf(stderr, "ostrel-oracle-engine: malformed case on standard input\n");
            return 1;
        }
        if (!write_result(STDOUT_FILENO, run_engine_case(c))) return 1;
    }
}
