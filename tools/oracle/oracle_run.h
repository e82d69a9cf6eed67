// Runs the selected rows' cases through the reference and the engine, each a child process
// fed by a writer thread of its own, and judges the results as they come back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sve/decode/decode_rows.h"
#include "tools/oracle/deviations.h"
#include "tools/oracle/row_report.h"

namespace ostrel::oracle {

struct RunConfig {
    std::vector<std::string> reference_command;
    std::vector<std::string> engine_command;
    uint32_t cases = 100;
    uint64_t seed = 1;
    unsigned jobs = 1;
    DeviationList deviations;
    bool progress = true; // rows done / total on standard error now and then
};

// One report per row, in the order of `rows`.
std::vector<RowReport> run_oracle(const std::vector<const DecodeRow *> &rows,
                                  const RunConfig &config);

} // namespace ostrel::oracle
