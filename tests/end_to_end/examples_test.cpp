// The example programs run under ostrel-run exactly as they run on QEMU's SVE, and a traced run
// records exactly the accesses between the region-of-interest markers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "sve/trace/support/trace_file.h"
#include "tests/support/run_program.h"

using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;

namespace {

std::string example(const std::string &name) {
    return std::string(OSTREL_EXAMPLES_DIR) + "/" + name;
}

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

ProgramResult on_reference(const std::string &program, const std::vector<std::string> &args = {}) {
    std::vector<std::string> words = {"-cpu", "max,sve-default-vector-length=192", "-L",
                                      OSTREL_SYSROOT, program};
    words.insert(words.end(), args.begin(), args.end());
    return run_program("qemu-aarch64", words);
}

ProgramResult under_ostrel(const std::vector<std::string> &args) {
    return run_program(OSTREL_RUN_PROGRAM, args);
}

class Examples : public testing::TestWithParam<const char *> {};

TEST_P(Examples, PrintWhatTheyPrintOnSve) {
    const std::string program = example(GetParam());
    ASSERT_TRUE(exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult reference = on_reference(program);
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    const ProgramResult ours = under_ostrel({program});
    EXPECT_EQ(ours.exit_status, 0);
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_EQ(ours.err, "") << "every instruction should have been emulated";
}

INSTANTIATE_TEST_SUITE_P(All, Examples,
                         testing::Values("vector_add", "byte_fill_copy", "region_of_interest",
                                         "threads", "permute_reduce", "integer_predicates"));

// region_of_interest sums 100 32-bit words into 64-bit lanes inside its markers: four full
// vectors of 24 words and one of 4, then one store of the 24 lanes. Nothing before the start
// marker (a first sum over 10 words) may appear.
TEST(TracedRun, RecordsExactlyTheAccessesBetweenTheMarkers) {
    const std::string program = example("region_of_interest");
    ASSERT_TRUE(exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const std::string trace =
        testing::TempDir() + "ostrel-roi-" + std::to_string(getpid()) + ".trace";
    const ProgramResult run = under_ostrel({"--trace", trace, program});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.out, on_reference(program).out);

    const auto read = ostrel::trace::read_trace_file(trace);
    unlink(trace.c_str());
    ASSERT_TRUE(read.ok()) << read.error;
    const auto &records = read.trace.records;
    ASSERT_EQ(records.size(), 1u + 5u + 1u + 1u);
    EXPECT_EQ(records.front().tid, 0xFFFFFFFFu);
    EXPECT_EQ(records.back().tid, 0xFFFFFFFEu);

    const uint64_t sizes[] = {96, 96, 96, 96, 16};
    const uint64_t base = records[1].addr;
    for (int i = 0; i < 5; ++i) {
        const sve_mem_ref_t &r = records[1 + i];
        EXPECT_EQ(r.type, MEMACCESS_READ) << i;
        EXPECT_EQ(r.size, sizes[i]) << i;
        EXPECT_EQ(r.addr, base + 96u * i) << i;
        EXPECT_EQ(r.seq_flags, 0u) << i;
        EXPECT_NE(r.pc, 0u) << i;
    }
    EXPECT_EQ(records[6].type, MEMACCESS_WRITE);
    EXPECT_EQ(records[6].size, 192u);
    for (std::size_t i = 1; i < records.size(); ++i)
        EXPECT_GT(records[i].count, records[i - 1].count);
}

// sigill_fate (a test program built beside the examples) executes a word no table knows.
TEST(OstrelRun, UnknownInstructionsKeepTheirNativeFate) {
    const std::string program = example("sigill_fate");
    ASSERT_TRUE(exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult dies = under_ostrel({program});
    EXPECT_EQ(dies.exit_status, -1) << "should die of SIGILL";
    EXPECT_EQ(dies.out, "before\n");

    // The program's own SIGILL handler still gets what is not emulated; emulation goes on.
    const ProgramResult reference = on_reference(program, {"own-handler"});
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
