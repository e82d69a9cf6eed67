// ostrel-fpcheck-ref: runs batches of cases on the processor's own scalar floating-point
// instructions (under qemu-aarch64 -cpu max here). Reads a batch header and its cases from
// standard input, answers with one result per case on standard output, until end of input.
#include "tools/fpcheck/reference/instructions.h"

#include <cstdio>
#include <vector>

using namespace ostrel::fpcheck;

int main() {
    BatchHeader header;
    std::vector<CheckCase> cases;
    std::vector<CheckResult> results;
    while (std::fread(&header, sizeof header, 1, stdin) == 1) {
        cases.resize(header.count);
        results.assign(header.count, CheckResult{});
        if (std::fread(cases.data(), sizeof(CheckCase), cases.size(), stdin) != cases.size()) {
            std::fprintf(stderr, "ostrel-fpcheck-ref: short batch\n");
            return 1;
        }
        for (size_t i = 0; i < cases.size(); ++i) {
            if (!run_instruction(static_cast<OpId>(header.op), cases[i], results[i])) {
                std::fprintf(stderr, "ostrel-fpcheck-ref: unknown operation %u or fbits %u\n",
                             header.op, cases[i].fbits);
                return 1;
            }
        }
        if (std::fwrite(results.data(), sizeof(CheckResult), results.size(), stdout) !=
            results.size())
            return 1;
        std::fflush(stdout);
    }
    return 0;
}
