// Runs operations' cases on the reference runner and through the library, and compares result
// bits and cumulative flags.
#pragma once

#include "tools/fpcheck/check_protocol.h"
#include "tools/fpcheck/op_table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel::fpcheck {

struct CheckConfig {
    std::vector<std::string> reference_command; // starts ostrel-fpcheck-ref
    uint64_t random_cases = 1000000;            // per operation
    bool exhaustive = true;                     // all inputs of half unary operations too
    uint64_t seed = 1;
    int jobs = 1;
};

struct OpReport {
    const OpInfo *op = nullptr;
    uint64_t cases = 0;
    uint64_t differences = 0;
    std::string first_difference; // empty when none
    std::string error;            // the reference runner failed
};

// Checks `ops`, `jobs` at a time; reports come back in the order of `ops`.
std::vector<OpReport> run_checks(const std::vector<const OpInfo *> &ops, const CheckConfig &config);

} // namespace ostrel::fpcheck
