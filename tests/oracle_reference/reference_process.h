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

// The runner on pipes, for checking that results come out while the input is still open.
class StreamingRunner {
  public:
    StreamingRunner();
    ~StreamingRunner();
    void send(const std::string &bytes);
    // Reads exactly `bytes`; false when they did not arrive within the (generous) deadline or the
    // output ended first.
    bool receive(std::size_t bytes, std::string &data);
    // Closes the input and returns the exit status.
    int finish();

  private:
    pid_t pid_ = -1;
    int to_runner_ = -1;
    int from_runner_ = -1;
};

} // namespace ostrel::oracle::testing
