// Whole programs at a vector length chosen at run time, for every front end: the lengths and
// programs they run at, QEMU's SVE at the same length as the reference, and the values a front
// end must refuse before the program starts. A test target that includes this defines
// OSTREL_EXAMPLES_DIR and OSTREL_SYSROOT and compiles sve/client/vector_length.cpp in.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "sve/client/vector_length.h"
#include "tests/support/run_program.h"
#include "tests/support/sve_programs.h"

namespace ostrel::testing {

// The narrowest and widest lengths, and two powers of two between them that real processors use.
inline const std::vector<unsigned> kTestedLengths = {128, 256, 512, 2048};

// vector_length prints what the length decides (and, with "fork", a child's view of it);
// length_agnostic prints what no length may change.
inline const std::vector<ProgramRun> kLengthPrograms = {
    {"vector_length", {}}, {"vector_length", {"fork"}}, {"length_agnostic", {}}};

// Values no front end may start a program with.
inline const std::vector<std::string> kRefusedLengths = {"0",    "100", "129", "2176",
                                                         "512x", "",    "-128"};

struct LengthRun {
    unsigned bits;
    ProgramRun run;
};

inline void PrintTo(const LengthRun &r, std::ostream *os) {
    *os << r.run.name;
    for (const std::string &arg : r.run.args)
        *os << " " << arg;
    *os << " at " << r.bits << " bits";
}

inline std::vector<LengthRun> every_length_run() {
    std::vector<LengthRun> runs;
    for (unsigned bits : kTestedLengths)
        for (const ProgramRun &run : kLengthPrograms)
            runs.push_back({bits, run});
    return runs;
}

// Every other example at the narrowest and the widest length: the loops of each instruction family
// at one and at sixteen 128-bit granules.
inline std::vector<LengthRun> every_example_at_the_ends() {
    std::vector<LengthRun> runs;
    for (unsigned bits : {kMinVectorBits, kMaxVectorBits})
        for (const std::string &name : kExamples)
            runs.push_back({bits, {name, {}}});
    return runs;
}

inline std::string length_run_name(const ::testing::TestParamInfo<LengthRun> &info) {
    std::string name = info.param.run.name;
    for (const std::string &arg : info.param.run.args)
        name += "_" + arg;
    return name + "_at_" + std::to_string(info.param.bits);
}

inline std::string refused_length_name(const ::testing::TestParamInfo<std::string> &info) {
    std::string name = "value";
    for (char c : info.param)
        name += std::isalnum(static_cast<unsigned char>(c)) ? std::string(1, c) : "_";
    return name + "_" + std::to_string(info.index);
}

// The program on QEMU's SVE at `bits` (QEMU counts the length in bytes).
inline ProgramResult on_sve_reference_at(unsigned bits, const std::string &program,
                                         const std::vector<std::string> &args = {}) {
    std::vector<std::string> words = {"-cpu",
                                      "max,sve-default-vector-length=" + std::to_string(bits / 8),
                                      "-L", OSTREL_SYSROOT, program};
    words.insert(words.end(), args.begin(), args.end());
    return run_program("qemu-aarch64", words);
}

// `command` run with `assignments` (NAME=VALUE) added to the environment and OSTREL_VL removed
// first, so a length in the tester's own environment cannot leak into a run.
inline ProgramResult run_with_environment(const std::vector<std::string> &assignments,
                                          const std::string &command,
                                          const std::vector<std::string> &args) {
    std::vector<std::string> words = {"-u", kVectorLengthVariable};
    words.insert(words.end(), assignments.begin(), assignments.end());
    words.push_back(command);
    words.insert(words.end(), args.begin(), args.end());
    return run_program("/usr/bin/env", words);
}

// One front end at one length: runs `program` with `args` at `bits`.
using LengthFrontEnd = std::function<ProgramResult(unsigned bits, const std::string &program,
                                                   const std::vector<std::string> &args)>;

// The program prints under the front end at `bits` what it prints on QEMU's SVE at `bits`, with
// nothing on stderr.
inline void expect_prints_as_on_sve_at(const LengthFrontEnd &run, unsigned bits,
                                       const ProgramRun &what) {
    const std::string program = sve_program(what.name);
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult reference = on_sve_reference_at(bits, program, what.args);
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    ASSERT_NE(reference.out, "");
    const ProgramResult ours = run(bits, program, what.args);
    EXPECT_EQ(ours.exit_status, 0) << ours.err;
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_EQ(ours.err, "") << "every instruction should have been emulated";
}

// A refusal: a non-zero exit, nothing from the program, and exactly `line` on stderr.
inline void expect_refused_before_start(const ProgramResult &run, const std::string &line) {
    EXPECT_NE(run.exit_status, 0);
    EXPECT_EQ(run.out, "") << "the program should not have started";
    EXPECT_EQ(run.err, line + "\n");
}

// How a front end words a refused value: where it came from, quoted, then the rule.
inline std::string refusal(const std::string &prefix, const std::string &source,
                           const std::string &value) {
    return prefix + source + "'" + value + "': " + kVectorLengthRule;
}

} // namespace ostrel::testing
