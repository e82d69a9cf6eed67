// The trap runner at a vector length chosen when the program is run: `--vl BITS` or OSTREL_VL,
// the option winning, bad values refused before the program starts, and the length reaching a
// program that finds only the environment (as an exec'ed child does).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/end_to_end/vector_lengths.h"

using ostrel::testing::LengthRun;
using ostrel::testing::ProgramResult;
using ostrel::testing::ProgramRun;
using ostrel::testing::run_with_environment;

namespace {

ProgramResult ostrel_run(const std::vector<std::string> &environment,
                         const std::vector<std::string> &args) {
    return run_with_environment(environment, OSTREL_RUN_PROGRAM, args);
}

std::vector<std::string> with_program(std::vector<std::string> options, const std::string &program,
                                      const std::vector<std::string> &args) {
    options.push_back(program);
    options.insert(options.end(), args.begin(), args.end());
    return options;
}

const ProgramRun kCounts = {"vector_length", {}};

class TrapRunnerLengths : public testing::TestWithParam<LengthRun> {};

TEST_P(TrapRunnerLengths, PrintWhatTheyPrintOnSveAtTheOptionsLength) {
    const auto by_option = [](unsigned bits, const std::string &program,
                              const std::vector<std::string> &args) {
        return ostrel_run({}, with_program({"--vl", std::to_string(bits)}, program, args));
    };
    ostrel::testing::expect_prints_as_on_sve_at(by_option, GetParam().bits, GetParam().run);
}

INSTANTIATE_TEST_SUITE_P(All, TrapRunnerLengths,
                         testing::ValuesIn(ostrel::testing::every_length_run()),
                         ostrel::testing::length_run_name);
INSTANTIATE_TEST_SUITE_P(Examples, TrapRunnerLengths,
                         testing::ValuesIn(ostrel::testing::every_example_at_the_ends()),
                         ostrel::testing::length_run_name);

class TrapRunnerVariable : public testing::TestWithParam<unsigned> {};

TEST_P(TrapRunnerVariable, SetsTheLengthWithoutTheOption) {
    const auto by_variable = [](unsigned bits, const std::string &program,
                                const std::vector<std::string> &args) {
        return ostrel_run({"OSTREL_VL=" + std::to_string(bits)}, with_program({}, program, args));
    };
    ostrel::testing::expect_prints_as_on_sve_at(by_variable, GetParam(), kCounts);
}

// A program started with the trap library preloaded by hand, its length in the environment only:
// what an exec'ed child of a program under ostrel-run finds.
TEST_P(TrapRunnerVariable, ReachesAProgramThatHasOnlyTheEnvironment) {
    const auto preloaded = [](unsigned bits, const std::string &program,
                              const std::vector<std::string> &args) {
        std::vector<std::string> words = {"-cpu", "neoverse-n1",
                                          "-L",   OSTREL_SYSROOT,
                                          "-E",   "LD_PRELOAD=" OSTREL_TRAP_LIBRARY,
                                          "-E",   "OSTREL_VL=" + std::to_string(bits),
                                          program};
        words.insert(words.end(), args.begin(), args.end());
        return run_with_environment({}, "qemu-aarch64", words);
    };
    ostrel::testing::expect_prints_as_on_sve_at(preloaded, GetParam(), kCounts);
}

INSTANTIATE_TEST_SUITE_P(All, TrapRunnerVariable,
                         testing::ValuesIn(ostrel::testing::kTestedLengths));

TEST(TrapRunnerLength, DefaultsTo1536Bits) {
    const auto unset = [](unsigned, const std::string &program,
                          const std::vector<std::string> &args) {
        return ostrel_run({}, with_program({}, program, args));
    };
    ostrel::testing::expect_prints_as_on_sve_at(unset, ostrel::kDefaultVectorBits, kCounts);
}

// The option wins over the variable, also over one that would be refused on its own.
TEST(TrapRunnerLength, TheOptionWinsOverTheVariable) {
    const struct {
        const char *variable;
        unsigned option_bits;
    } cases[] = {{"256", 512}, {"2048", 128}, {"100", 256}};
    for (const auto &c : cases) {
        const auto both = [&c](unsigned bits, const std::string &program,
                               const std::vector<std::string> &args) {
            return ostrel_run({std::string("OSTREL_VL=") + c.variable},
                              with_program({"--vl", std::to_string(bits)}, program, args));
        };
        SCOPED_TRACE(std::string("OSTREL_VL=") + c.variable);
        ostrel::testing::expect_prints_as_on_sve_at(both, c.option_bits, kCounts);
    }
}

class TrapRunnerRefuses : public testing::TestWithParam<std::string> {};

TEST_P(TrapRunnerRefuses, TheOptionsBadValue) {
    const std::string program = ostrel::testing::sve_program(kCounts.name);
    const ProgramResult run = ostrel_run({}, {"--vl", GetParam(), program});
    EXPECT_EQ(run.exit_status, 2);
    ostrel::testing::expect_refused_before_start(
        run, ostrel::testing::refusal("ostrel-run: ", "--vl ", GetParam()));
}

TEST_P(TrapRunnerRefuses, TheVariablesBadValue) {
    const std::string program = ostrel::testing::sve_program(kCounts.name);
    const ProgramResult run = ostrel_run({"OSTREL_VL=" + GetParam()}, {program});
    EXPECT_EQ(run.exit_status, 2);
    ostrel::testing::expect_refused_before_start(
        run, ostrel::testing::refusal("ostrel-run: ", "OSTREL_VL=", GetParam()));
}

// The trap library, preloaded by hand, refuses a bad variable itself.
TEST_P(TrapRunnerRefuses, TheVariablesBadValueWhenPreloadedByHand) {
    const std::string program = ostrel::testing::sve_program(kCounts.name);
    const ProgramResult run = run_with_environment({}, "qemu-aarch64",
                                                   {"-cpu", "neoverse-n1", "-L", OSTREL_SYSROOT,
                                                    "-E", "LD_PRELOAD=" OSTREL_TRAP_LIBRARY, "-E",
                                                    "OSTREL_VL=" + GetParam(), program});
    ostrel::testing::expect_refused_before_start(
        run, ostrel::testing::refusal("ostrel: ", "OSTREL_VL=", GetParam()));
}

INSTANTIATE_TEST_SUITE_P(All, TrapRunnerRefuses,
                         testing::ValuesIn(ostrel::testing::kRefusedLengths),
                         ostrel::testing::refused_length_name);

TEST(TrapRunnerLength, TheOptionWithoutAValueIsAUsageError) {
    const ProgramResult run = ostrel_run({}, {"--vl"});
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.err.rfind("ostrel-run: --vl needs a value\n", 0), 0u) << run.err;
}

} // namespace
