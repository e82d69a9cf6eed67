// The DynamoRIO client runs whole programs as QEMU's SVE does, starts only with the arguments it
// accepts, and keeps the framework's registers, the stack pointer and FPCR writes intact around
// the instructions it replaces.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/mix_checks.h"
#include "tests/support/run_program.h"
#include "tests/support/sve_programs.h"

using ostrel::testing::file_exists;
using ostrel::testing::on_sve_reference;
using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;
using ostrel::testing::sve_program;

namespace {

const std::string kDynamoRio = OSTREL_CLIENT_DYNAMORIO;

bool client_available() {
    return !kDynamoRio.empty() && file_exists(OSTREL_CLIENT_LIBRARY) &&
           file_exists(kDynamoRio + "/lib64/release/libdynamorio.so");
}

class ClientEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        if (!client_available())
            GTEST_SKIP() << "DynamoRIO client tests skipped: no DynamoRIO (build with `make "
                            "DynamoRIO_DIR=<DynamoRIO>/cmake`)";
    }
};

const auto *const environment = testing::AddGlobalTestEnvironment(new ClientEnvironment);

// Runs `program` under the client; `client_options` go to the client itself, `dynamorio_options`
// to the framework.
ProgramResult under_client(const std::string &program, const std::vector<std::string> &args = {},
                           const std::string &client_options = "", const std::string &trace = "",
                           const std::string &dynamorio_options = "") {
    std::vector<std::string> words = {"--dynamorio", kDynamoRio};
    if (!client_options.empty()) words.insert(words.end(), {"--client-options", client_options});
    if (!dynamorio_options.empty())
        words.insert(words.end(), {"--dynamorio-options", dynamorio_options});
    if (!trace.empty()) words.insert(words.end(), {"--trace", trace});
    words.push_back(program);
    words.insert(words.end(), args.begin(), args.end());
    return run_program(OSTREL_RUN_PROGRAM, words);
}

std::string required_program(const std::string &name) {
    const std::string program = sve_program(name);
    if (!file_exists(program)) ADD_FAILURE() << program << " is missing: build the AArch64 tree";
    return program;
}

ProgramResult client_with(const std::vector<std::string> &options, const std::string &program) {
    std::vector<std::string> words = {"--dynamorio", kDynamoRio};
    words.insert(words.end(), options.begin(), options.end());
    words.push_back(program);
    return run_program(OSTREL_RUN_PROGRAM, words);
}

// The client as a front end of the shared whole-program checks.
ProgramResult client_runner(const std::string &program, const std::vector<std::string> &args,
                            const std::string &trace) {
    return under_client(program, args, "", trace);
}

class ClientExamples : public testing::TestWithParam<std::string> {};

TEST_P(ClientExamples, PrintWhatTheyPrintOnSve) {
    ostrel::testing::expect_prints_as_on_sve(client_runner, GetParam());
}

INSTANTIATE_TEST_SUITE_P(All, ClientExamples, testing::ValuesIn(ostrel::testing::kExamples));

// Blocks of any length, compiler-vectorised code and threads; once more with DynamoRIO building
// traces from the hot blocks (off by default on AArch64), which re-instruments every block of a
// trace and must keep each one as it was.
class ClientCompiledPrograms : public testing::TestWithParam<ostrel::testing::ProgramRun> {};

TEST_P(ClientCompiledPrograms, PrintWhatTheyPrintOnSve) {
    ostrel::testing::expect_prints_as_on_sve(client_runner, GetParam().name, GetParam().args);
}

TEST_P(ClientCompiledPrograms, PrintWhatTheyPrintOnSveWithTraces) {
    const auto with_traces = [](const std::string &program, const std::vector<std::string> &args,
                                const std::string &trace) {
        return under_client(program, args, "", trace, "-enable_traces");
    };
    ostrel::testing::expect_prints_as_on_sve(with_traces, GetParam().name, GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(All, ClientCompiledPrograms,
                         testing::ValuesIn(ostrel::testing::kCompiledPrograms),
                         ostrel::testing::program_run_name);

// Signal handlers that run SVE: a 2 ms interval timer over main, two threads and a forked child,
// and handlers left by siglongjmp, nested or not; with traces too, where a handler may run inside
// a block of a trace.
class ClientSignalPrograms : public testing::TestWithParam<ostrel::testing::ProgramRun> {};

TEST_P(ClientSignalPrograms, PrintWhatTheyPrintOnSveEveryTime) {
    ostrel::testing::expect_always_prints_as_on_sve(client_runner, GetParam().name, GetParam().args,
                                                    ostrel::testing::kSignalProgramRepeats);
}

TEST_P(ClientSignalPrograms, PrintWhatTheyPrintOnSveWithTraces) {
    const auto with_traces = [](const std::string &program, const std::vector<std::string> &args,
                                const std::string &trace) {
        return under_client(program, args, "", trace, "-enable_traces");
    };
    ostrel::testing::expect_always_prints_as_on_sve(with_traces, GetParam().name, GetParam().args,
                                                    ostrel::testing::kSignalProgramRepeats);
}

INSTANTIATE_TEST_SUITE_P(All, ClientSignalPrograms,
                         testing::ValuesIn(ostrel::testing::kSignalPrograms),
                         ostrel::testing::program_run_name);

TEST(ClientMix, CountsOnlyTheMarkedRegion) {
    ostrel::testing::expect_region_of_interest_mix(client_with, "client");
}

TEST(ClientTrace, RecordsExactlyTheAccessesBetweenTheMarkers) {
    ostrel::testing::expect_traced_region_of_interest(client_runner, "client");
}

// Besides -vl (tests/end_to_end/vector_length_test.cpp), the client takes no options: it starts
// with none, or with anything after a "--".
struct StartCase {
    const char *client_options;
    const char *refusal; // empty when the client starts
};

class ClientStart : public testing::TestWithParam<StartCase> {};

TEST_P(ClientStart, AcceptsOnlyWhatFollowsADoubleDash) {
    const StartCase c = GetParam();
    const std::string program = required_program("vector_add");
    const ProgramResult run = under_client(program, {}, c.client_options);
    if (*c.refusal == '\0') {
        EXPECT_EQ(run.exit_status, 0) << run.err;
        EXPECT_EQ(run.out, on_sve_reference(program).out);
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.exit_status, 0) << "the client should abort the process";
        EXPECT_EQ(run.out, "") << "the program should not have started";
        EXPECT_NE(
            run.err.find(std::string("SVE emulation client usage error: ") + c.refusal + "\n"),
            std::string::npos)
            << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(All, ClientStart,
                         testing::Values(StartCase{"-- x", ""}, StartCase{"-- -x --", ""},
                                         StartCase{"-x", "Unknown option: -x"},
                                         StartCase{"x", "Unknown option: x"},
                                         StartCase{"-x -- y", "Unknown option: -x"}));

// Cases of the client_edges program whose output must equal QEMU's SVE.
class ClientRegisters : public testing::TestWithParam<std::string> {};

TEST_P(ClientRegisters, MatchTheReference) {
    const std::string program = required_program("client_edges");
    const ProgramResult reference = on_sve_reference(program, {GetParam()});
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    const ProgramResult ours = under_client(program, {GetParam()});
    EXPECT_EQ(ours.exit_status, 0) << ours.err;
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_EQ(ours.err, "");
}

// stolen: an instruction reads and writes X26, X27 and X28 (the framework's own register), and
// one that does not name X28 leaves it alone. sp: an address computed from SP and a load through
// it. fpcr: FPCR written from X5, XZR and X21 (the mirror's usual scratch register). untouched:
// X30, X26, NZCV, FPSR and D5 around an instruction that names none of them, then X30 as an
// operand.
INSTANTIATE_TEST_SUITE_P(All, ClientRegisters,
                         testing::Values("stolen", "sp", "fpcr", "untouched"));

// The emulation sequences as the framework builds them for sample words of every row (the report
// client): the median over the rows stays within 30 inserted instructions, and a sequence follows
// its instruction's register set.
TEST(ClientSequence, FollowsTheRegisterSetOfEachRow) {
    std::string library = OSTREL_CLIENT_LIBRARY;
    library = library.substr(0, library.rfind('/') + 1) + "libostrel_sequence_report.so";
    ASSERT_TRUE(file_exists(library)) << library << " is missing: build the AArch64 tree";
    const ProgramResult run = run_program(
        "/usr/bin/env", {"OSTREL_CLIENT_LIBRARY=" + library, OSTREL_RUN_PROGRAM, "--dynamorio",
                         kDynamoRio, "--client-options", "rows", required_program("vector_add")});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    std::map<std::string, int> length;
    int median = -1, max = -1;
    for (const std::string &line : ostrel::testing::split_lines(run.out)) {
        if (std::sscanf(line.c_str(), "client sequence: median %d, max %d inserted instructions",
                        &median, &max) == 2)
            continue;
        std::istringstream words(line);
        std::string row;
        int n = 0;
        if (words >> row >> n) length[row] = n;
    }
    ASSERT_GE(median, 0) << "no summary line:\n" << run.out;
    EXPECT_LE(median, 30);
    EXPECT_GE(max, median);
    struct Longer {
        const char *row, *than, *why;
    };
    const Longer longer[] = {
        {"VecU64E4Load8SIZ", "VecU64CLoad8SIZ", "four Z registers come back, not one"},
        {"VecF32AddVVM", "VecU32AddVVM", "FPSR goes in and out"},
        {"VecU64CTermEQ", "VecU64While8LTSS", "CTERM reads the flags as well"},
        {"VecU64CLoad8SIZ", "VecPFalse", "a Z register comes back"},
    };
    for (const Longer &l : longer) {
        ASSERT_TRUE(length.count(l.row) && length.count(l.than)) << l.row << " " << l.than;
        EXPECT_GT(length[l.row], length[l.than]) << l.row << " vs " << l.than << ": " << l.why;
    }
    // Rows whose sets are alike get sequences alike.
    EXPECT_EQ(length["VecU8AddVVM"], length["VecU64AddVVM"]);
    int at_or_below_median = 0;
    for (const auto &[row, n] : length)
        at_or_below_median += n <= median;
    EXPECT_GE(2 * at_or_below_median, static_cast<int>(length.size()));
}

// Every row of the decode tables is emulated, so no instruction's emulation fails under the
// client any more; the report of a failed emulation belongs to the run-time path both front ends
// share and is checked there (tests/emulate).

TEST(ClientFailures, AnUnguardedFaultEndsTheProcessWithItsSignal) {
    const std::string program = required_program("client_edges");
    const ProgramResult run = under_client(program, {"fault"});
    EXPECT_EQ(run.out, "before\n");
    EXPECT_EQ(run.term_signal, SIGSEGV) << "exit status " << run.exit_status << "\n" << run.err;
    EXPECT_NE(run.err.find("vexem's SVESigHandler caught signal SIGSEGV from the process being "
                           "emulated, passing it to the default signal handler.\n"),
              std::string::npos)
        << run.err;
}

// Words no table knows run natively: they raise SIGILL as they would without the client.
TEST(ClientFailures, UnknownInstructionsKeepTheirNativeFate) {
    ostrel::testing::expect_unknown_instructions_keep_native_fate(client_runner);
}

// bench/guest_profile names the functions one emulated instruction runs through, the class's
// handler among them, with costs that add up to its total.
TEST(GuestProfile, NamesTheHandlerOfAClass) {
    const ProgramResult run =
        run_program(OSTREL_SOURCE_DIR "/bench/guest_profile", {"add", "2", "4"});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    double handler = 0, listed = 0, total = -1;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        double cost = 0;
        char rest[512] = "";
        if (std::sscanf(line.c_str(), " %lf %511[^\n]", &cost, rest) != 2) continue;
        const std::string name = rest;
        if (name == "in all") {
            total = cost;
        } else {
            listed += cost;
            if (name.rfind("libostrel.so: sve_add_zzz(", 0) == 0) handler = cost;
        }
    }
    EXPECT_GT(handler, 20) << run.out; // at least a few instructions per 16-byte block
    EXPECT_GT(total, handler) << run.out;
    EXPECT_NEAR(listed, total, 8) << run.out; // lines under half an instruction are left out
}

} // namespace
