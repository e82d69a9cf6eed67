// The example programs run under ostrel-run exactly as they run on QEMU's SVE, and a traced run
// records exactly the accesses between the region-of-interest markers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "sve/trace/support/trace_file.h"
#include "tests/support/run_program.h"
#include "tests/support/sve_programs.h"

using ostrel::testing::file_exists;
using ostrel::testing::on_sve_reference;
using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;
using ostrel::testing::sve_program;

namespace {

ProgramResult under_ostrel(const std::vector<std::string> &args) {
    return run_program(OSTREL_RUN_PROGRAM, args);
}

class Examples : public testing::TestWithParam<std::string> {};

TEST_P(Examples, PrintWhatTheyPrintOnSve) {
    const std::string program = sve_program(GetParam());
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult reference = on_sve_reference(program);
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    const ProgramResult ours = under_ostrel({program});
    EXPECT_EQ(ours.exit_status, 0);
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_EQ(ours.err, "") << "every instruction should have been emulated";
}

INSTANTIATE_TEST_SUITE_P(All, Examples, testing::ValuesIn(ostrel::testing::kExamples));

TEST(TracedRun, RecordsExactlyTheAccessesBetweenTheMarkers) {
    const std::string program = sve_program("region_of_interest");
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const std::string trace =
        testing::TempDir() + "ostrel-roi-" + std::to_string(getpid()) + ".trace";
    const ProgramResult run = under_ostrel({"--trace", trace, program});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.out, on_sve_reference(program).out);

    const auto read = ostrel::trace::read_trace_file(trace);
    unlink(trace.c_str());
    ASSERT_TRUE(read.ok()) << read.error;
    ostrel::testing::expect_region_of_interest_trace(read.trace.records);
}

// sigill_fate (a test program built beside the examples) executes a word no table knows.
TEST(OstrelRun, UnknownInstructionsKeepTheirNativeFate) {
    const std::string program = sve_program("sigill_fate");
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult dies = under_ostrel({program});
    EXPECT_EQ(dies.exit_status, -1) << "should die of SIGILL";
    EXPECT_EQ(dies.out, "before\n");

    // The program's own SIGILL handler still gets what is not emulated; emulation goes on.
    const ProgramResult reference = on_sve_reference(program, {"own-handler"});
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    const ProgramResult ours = under_ostrel({program, "own-handler"});
    EXPECT_EQ(ours.exit_status, 0) << ours.err;
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_NE(ours.out.find("handled: 1"), std::string::npos) << ours.out;
}

TEST(OstrelRun, ReportsMissingProgramsAndUsageErrors) {
    const ProgramResult missing = under_ostrel({"/nonexistent/program"});
    EXPECT_EQ(missing.exit_status, 127);
    EXPECT_NE(missing.err.find("no such program"), std::string::npos) << missing.err;
    const ProgramResult usage = under_ostrel({});
    EXPECT_EQ(usage.exit_status, 2);
}

} // namespace
