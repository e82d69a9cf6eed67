// The example programs run under ostrel-run exactly as they run on QEMU's SVE, and a traced run
// records exactly the accesses between the region-of-interest markers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/mix_checks.h"
#include "tests/support/run_program.h"
#include "tests/support/sve_programs.h"

using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;

namespace {

ProgramResult under_ostrel(const std::vector<std::string> &args) {
    return run_program(OSTREL_RUN_PROGRAM, args);
}

// The trap runner as a front end of the shared whole-program checks.
ProgramResult trap_runner(const std::string &program, const std::vector<std::string> &args,
                          const std::string &trace) {
    std::vector<std::string> words;
    if (!trace.empty()) words = {"--trace", trace};
    words.push_back(program);
    words.insert(words.end(), args.begin(), args.end());
    return under_ostrel(words);
}

class Examples : public ::testing::TestWithParam<std::string> {};

TEST_P(Examples, PrintWhatTheyPrintOnSve) {
    ostrel::testing::expect_prints_as_on_sve(trap_runner, GetParam());
}

INSTANTIATE_TEST_SUITE_P(All, Examples, ::testing::ValuesIn(ostrel::testing::kExamples));

class CompiledPrograms : public ::testing::TestWithParam<ostrel::testing::ProgramRun> {};

TEST_P(CompiledPrograms, PrintWhatTheyPrintOnSve) {
    ostrel::testing::expect_prints_as_on_sve(trap_runner, GetParam().name, GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(All, CompiledPrograms,
                         ::testing::ValuesIn(ostrel::testing::kCompiledPrograms),
                         ostrel::testing::program_run_name);

class SignalPrograms : public ::testing::TestWithParam<ostrel::testing::ProgramRun> {};

TEST_P(SignalPrograms, PrintWhatTheyPrintOnSveEveryTime) {
    ostrel::testing::expect_always_prints_as_on_sve(trap_runner, GetParam().name, GetParam().args,
                                                    ostrel::testing::kSignalProgramRepeats);
}

INSTANTIATE_TEST_SUITE_P(All, SignalPrograms, ::testing::ValuesIn(ostrel::testing::kSignalPrograms),
                         ostrel::testing::program_run_name);

TEST(TracedRun, RecordsExactlyTheAccessesBetweenTheMarkers) {
    ostrel::testing::expect_traced_region_of_interest(trap_runner, "trap");
}

ProgramResult trap_runner_with(const std::vector<std::string> &options,
                               const std::string &program) {
    std::vector<std::string> words = options;
    words.push_back(program);
    return under_ostrel(words);
}

TEST(MixRun, CountsOnlyTheMarkedRegion) {
    ostrel::testing::expect_region_of_interest_mix(trap_runner_with, "trap");
}

TEST(MixRun, RefusesBadOptionsBeforeTheProgramRuns) {
    ostrel::testing::expect_mix_option_errors(trap_runner_with);
}

TEST(OstrelRun, UnknownInstructionsKeepTheirNativeFate) {
    ostrel::testing::expect_unknown_instructions_keep_native_fate(trap_runner);
}

TEST(OstrelRun, ReportsMissingProgramsAndUsageErrors) {
    const ProgramResult missing = under_ostrel({"/nonexistent/program"});
    EXPECT_EQ(missing.exit_status, 127);
    EXPECT_NE(missing.err.find("no such program"), std::string::npos) << missing.err;
    const ProgramResult usage = under_ostrel({});
    EXPECT_EQ(usage.exit_status, 2);
}

} // namespace
