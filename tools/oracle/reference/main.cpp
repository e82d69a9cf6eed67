// ostrel-oracle-ref: the oracle's reference runner. Reads cases (tools/oracle/oracle_case.h)
// from standard input until it ends, runs each one's instruction on real SVE and writes one
// result per case to standard output as soon as it has it.
//
// Exit status: 0 at the end of the input; 1 on a malformed case or a failed write (one line on
// standard error); 2 when it cannot set itself up (no SVE, window taken) or cannot run at the
// vector length a case records; 3 on a fault outside the case's instruction (a defect of the
// runner).
#include <unistd.h>

#include <cstdio>

#include "tools/oracle/reference/case_runner.h"
#include "tools/oracle/reference/record_io.h"
#include "tools/oracle/reference/vector_length.h"

using namespace ostrel::oracle::reference;

namespace {

CaseRunner runner; // large; and the signal handlers outlive main's frame anyway

} // namespace

int main() {
    std::string error;
    if (!has_sve(error) || !runner.init(error)) {
        std::fprintf(stderr, "ostrel-oracle-ref: %s\n", error.c_str());
        return 2;
    }
    CaseRecord in;
    ResultRecord out;
    for (unsigned long index = 0;; ++index) {
        const ReadStatus status = read_case(STDIN_FILENO, in, error);
        if (status == ReadStatus::end) return 0;
        if (status == ReadStatus::malformed) {
            std::fprintf(stderr, "ostrel-oracle-ref: case %lu: %s\n", index, error.c_str());
            return 1;
        }
        if (!ensure_vector_length(in.header.vector_bits / 8, error)) {
            std::fprintf(stderr, "ostrel-oracle-ref: case %lu: %s\n", index, error.c_str());
            return 2;
        }
        runner.run(in, out);
        if (!write_result(STDOUT_FILENO, out, error)) {
            std::fprintf(stderr, "ostrel-oracle-ref: case %lu: %s\n", index, error.c_str());
            return 1;
        }
    }
}
