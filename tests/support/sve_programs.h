// The AArch64 programs the whole-program tests run (the examples and the test programs built
// beside them), their reference runs on QEMU's SVE, and the check of the region-of-interest
// trace that every front end must produce. A test target that includes this defines
// OSTREL_EXAMPLES_DIR and OSTREL_SYSROOT.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "sve/trace/support/trace_file.h"
#include "sve/trace/sve_mem_ref.h"
#include "tests/support/run_program.h"

namespace ostrel::testing {

inline const std::vector<std::string> kExamples = {
    "vector_add",     "byte_fill_copy",     "region_of_interest", "threads",
    "permute_reduce", "integer_predicates", "gathers_structures", "floating_point"};

// Programs that real SVE code resembles, run with the arguments given: straight-line blocks of
// up to 2,000 SVE instructions, each run often enough to become part of a trace; plain C loops the
// compiler vectorised (-O3 -funroll-loops), on one thread and on eight; a plain -O2 `main` of 150
// SVE instructions. Each prints checksums only.
struct ProgramRun {
    std::string name;
    std::vector<std::string> args;
};
inline const std::vector<ProgramRun> kCompiledPrograms = {{"straight_line_blocks", {}},
                                                          {"vectorised_loops", {}},
                                                          {"vectorised_loops", {"threads"}},
                                                          {"vectorised_main", {}},
                                                          {"first_fault_threads", {}}};

// Programs whose signal handlers run SVE while the interrupted code keeps state in vector
// registers: a 1 ms interval timer over main, two threads and a forked child, and handlers left by
// siglongjmp. Signals land at different places on every run, so each is run several times.
inline const std::vector<ProgramRun> kSignalPrograms = {{"signal_vector_state", {}},
                                                        {"signal_vector_state", {"longjmp"}}};
constexpr int kSignalProgramRepeats = 4;

inline std::string program_run_name(const ::testing::TestParamInfo<ProgramRun> &info) {
    std::string name = info.param.name;
    for (const std::string &arg : info.param.args)
        name += "_" + arg;
    return name;
}

inline std::string sve_program(const std::string &name) {
    return std::string(OSTREL_EXAMPLES_DIR) + "/" + name;
}

inline bool file_exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The program on a processor with SVE at this emulator's vector length.
inline ProgramResult on_sve_reference(const std::string &program,
                                      const std::vector<std::string> &args = {}) {
    std::vector<std::string> words = {"-cpu", "max,sve-default-vector-length=192", "-L",
                                      OSTREL_SYSROOT, program};
    words.insert(words.end(), args.begin(), args.end());
    return run_program("qemu-aarch64", words);
}

// region_of_interest sums 100 32-bit words into 64-bit lanes inside its markers: four full
// vectors of 24 words and one of 4, then one store of the 24 lanes. Nothing before the start
// marker (a first sum over 10 words) may appear.
inline void expect_region_of_interest_trace(const std::vector<sve_mem_ref_t> &records) {
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

// One front end (the trap runner, the client): runs `program` with `args`, writing the trace of
// its region of interest to `trace` when that is not empty.
using FrontEnd = std::function<ProgramResult(
    const std::string &program, const std::vector<std::string> &args, const std::string &trace)>;

// Checks every front end owes: the program `name` prints exactly what it prints on QEMU's SVE,
// with nothing on stderr.
inline void expect_prints_as_on_sve(const FrontEnd &run, const std::string &name,
                                    const std::vector<std::string> &args = {}) {
    const std::string program = sve_program(name);
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult reference = on_sve_reference(program, args);
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    ASSERT_NE(reference.out, "");
    const ProgramResult ours = run(program, args, "");
    EXPECT_EQ(ours.exit_status, 0) << ours.err;
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_EQ(ours.err, "") << "every instruction should have been emulated";
}

// The same, `times` runs against one reference run.
inline void expect_always_prints_as_on_sve(const FrontEnd &run, const std::string &name,
                                           const std::vector<std::string> &args, int times) {
    const std::string program = sve_program(name);
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult reference = on_sve_reference(program, args);
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    ASSERT_NE(reference.out, "");
    for (int i = 0; i < times; ++i) {
        const ProgramResult ours = run(program, args, "");
        EXPECT_EQ(ours.exit_status, 0) << "run " << i << ": " << ours.err;
        EXPECT_EQ(ours.out, reference.out) << "run " << i;
        EXPECT_EQ(ours.err, "") << "run " << i;
    }
}

// A traced run of region_of_interest records exactly the accesses between its markers.
inline void expect_traced_region_of_interest(const FrontEnd &run, const std::string &tag) {
    const std::string program = sve_program("region_of_interest");
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const std::string trace =
        ::testing::TempDir() + "ostrel-" + tag + "-roi-" + std::to_string(getpid()) + ".trace";
    const ProgramResult ours = run(program, {}, trace);
    ASSERT_EQ(ours.exit_status, 0) << ours.err;
    EXPECT_EQ(ours.out, on_sve_reference(program).out);

    const auto read = ostrel::trace::read_trace_file(trace);
    unlink(trace.c_str());
    ASSERT_TRUE(read.ok()) << read.error;
    expect_region_of_interest_trace(read.trace.records);
}

// sigill_fate (a test program built beside the examples) executes a word no table knows: it dies
// of SIGILL as without the emulator, and the program's own SIGILL handler, when it has one, still
// gets the word while emulation goes on.
inline void expect_unknown_instructions_keep_native_fate(const FrontEnd &run) {
    const std::string program = sve_program("sigill_fate");
    ASSERT_TRUE(file_exists(program)) << program << " is missing: build the AArch64 tree (make)";
    const ProgramResult dies = run(program, {}, "");
    EXPECT_EQ(dies.exit_status, -1) << "should die of SIGILL";
    EXPECT_EQ(dies.out, "before\n");

    const ProgramResult reference = on_sve_reference(program, {"own-handler"});
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    const ProgramResult ours = run(program, {"own-handler"}, "");
    EXPECT_EQ(ours.exit_status, 0) << ours.err;
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_NE(ours.out.find("handled: 1"), std::string::npos) << ours.out;
}

} // namespace ostrel::testing
