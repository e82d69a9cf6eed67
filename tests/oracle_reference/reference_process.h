// Starting the reference runner the way the oracle does, and reading what it answers.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::testing {

struct Result {
    ResultHeader header;
    std::vector<uint8_t> window;
};

struct RunnerOutput {
    int exit_status; // -1 when the runner did not exit normally
    std::string out;
    std::string err;
};

// The command line the runner is started with: the SVE emulator, at the engine's vector length.
std::vector<std::string> reference_command();

// Runs `command` with `input` as standard input (through files: no pipe can fill up).
RunnerOutput run_command(const std::vector<std::string> &command, const std::string &input);

// Splits the runner's output into results; a trailing fragment or bad magic fails the test.
std::vector<Result> parse_results(const std::string &out);

// Runs the runner on `input` and expects a clean exit with one result per case.
std::vector<Result> run_cases(const std::string &input, std::size_t expected_results);

} // namespace ostrel::oracle::testing
