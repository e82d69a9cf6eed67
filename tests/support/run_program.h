// Runs a built program of this tree (through the cross emulator in the AArch64 tree) and
// captures its exit status, standard output and standard error.
#pragma once

#include <string>
#include <vector>

namespace ostrel::testing {

struct ProgramResult {
    int exit_status; // -1 when the program did not exit normally
    std::string out;
    std::string err;
    int term_signal = 0; // the signal that ended the program, 0 when it exited
};

// `program` is a path; OSTREL_TEST_EMULATOR (set by the build, empty natively) is put in front.
ProgramResult run_program(const std::string &program, const std::vector<std::string> &args);

std::vector<std::string> split_lines(const std::string &text);

} // namespace ostrel::testing
