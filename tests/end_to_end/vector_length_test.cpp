// Both front ends at a vector length chosen when the program is run, against QEMU's SVE at the
// same length: every way of choosing it, and every value refused before the program starts.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "sve/client/vector_length.h"
#include "tests/support/sve_programs.h"

namespace ostrel::testing {
namespace {

const std::string kDynamoRio = OSTREL_CLIENT_DYNAMORIO;

bool client_available() {
    return !kDynamoRio.empty() && file_exists(OSTREL_CLIENT_LIBRARY);
}

// One way of choosing the length: its name, the environment's additions and ostrel-run's options,
// where "{bits}" stands for the length under test. Those after kLauncherWays use the client's -vl.
struct Way {
    const char *name;
    std::vector<std::string> assignments, options;
};
const Way kWays[] = {
    {"option", {}, {"--vl", "{bits}"}},
    {"variable", {"OSTREL_VL={bits}"}, {}},
    {"option_over_variable", {"OSTREL_VL=256"}, {"--vl", "{bits}"}},
    {"option_over_bad_variable", {"OSTREL_VL=100"}, {"--vl", "{bits}"}},
    {"default", {}, {}},
    {"client_option_over_variable", {"OSTREL_VL=256"}, {"--client-options", "-vl {bits}"}},
    {"client_option_over_launcher", {}, {"--vl", "2048", "--client-options", "-vl \"{bits}\""}}};
constexpr std::size_t kLauncherWays = 5;

struct LengthRun {
    bool client;
    unsigned bits;
    ProgramRun what;
    Way way;
};

std::string name_of(const ::testing::TestParamInfo<LengthRun> &info) {
    const LengthRun &r = info.param;
    return std::string(r.client ? "client_" : "trap_") + r.what.name +
           (r.what.args.empty() ? "" : "_fork") + "_at_" + std::to_string(r.bits) + "_by_" +
           r.way.name;
}

// ostrel-run on `what`, with OSTREL_VL taken out of the environment and the way's words put in.
ProgramResult ostrel_run(const LengthRun &r, const std::string &bits) {
    std::vector<std::string> words = {"-u", kVectorLengthVariable};
    const auto add = [&](std::vector<std::string> list) {
        for (std::string &w : list) {
            const std::size_t at = w.find("{bits}");
            words.push_back(at == std::string::npos ? w : w.replace(at, 6, bits));
        }
    };
    add(r.way.assignments);
    words.push_back(OSTREL_RUN_PROGRAM);
    if (r.client) add({"--dynamorio", kDynamoRio});
    add(r.way.options);
    words.push_back(sve_program(r.what.name));
    words.insert(words.end(), r.what.args.begin(), r.what.args.end());
    return run_program("/usr/bin/env", words);
}

std::vector<LengthRun> every_run() {
    const std::vector<ProgramRun> programs = {
        {"vector_length", {}}, {"vector_length", {"fork"}}, {"length_agnostic", {}}};
    std::vector<LengthRun> runs;
    for (bool client : {false, true}) {
        for (unsigned bits : {128u, 256u, 512u, 2048u})
            for (const ProgramRun &what : programs)
                runs.push_back({client, bits, what, kWays[0]});
        for (unsigned bits : {kMinVectorBits, kMaxVectorBits})
            for (const std::string &name : kExamples)
                runs.push_back({client, bits, {name, {}}, kWays[0]});
        // 384 bits: a length that is not a power of two.
        for (std::size_t way = 1; way < (client ? std::size(kWays) : kLauncherWays); ++way)
            runs.push_back({client, way == 4 ? kDefaultVectorBits : 384, programs[0], kWays[way]});
    }
    return runs;
}

class AtALength : public ::testing::TestWithParam<LengthRun> {};

TEST_P(AtALength, PrintsWhatSvePrintsAtThatLength) {
    const LengthRun r = GetParam();
    if (r.client && !client_available()) GTEST_SKIP() << "no DynamoRIO client built";
    const std::string program = sve_program(r.what.name);
    std::vector<std::string> words = {"-cpu",
                                      "max,sve-default-vector-length=" + std::to_string(r.bits / 8),
                                      "-L", OSTREL_SYSROOT, program};
    words.insert(words.end(), r.what.args.begin(), r.what.args.end());
    const ProgramResult reference = run_program("qemu-aarch64", words);
    ASSERT_EQ(reference.exit_status, 0) << reference.err;
    const ProgramResult ours = ostrel_run(r, std::to_string(r.bits));
    EXPECT_EQ(ours.exit_status, 0) << ours.err;
    EXPECT_EQ(ours.out, reference.out);
    EXPECT_EQ(ours.err, "");
}

INSTANTIATE_TEST_SUITE_P(All, AtALength, ::testing::ValuesIn(every_run()), name_of);

// A bad value from ostrel-run's option, from OSTREL_VL, or from the client's option: one line
// naming its source and a failure status, and the program never starts.
class Refused : public ::testing::TestWithParam<const char *> {};

TEST_P(Refused, BeforeTheProgramStarts) {
    const std::string value = GetParam(), rule = std::string("': ") + kVectorLengthRule + "\n";
    const LengthRun option = {false, 0, {"vector_length", {}}, kWays[0]};
    const LengthRun variable = {false, 0, {"vector_length", {}}, kWays[1]};
    const LengthRun client = {true, 0, {"vector_length", {}}, kWays[6]};
    const std::pair<LengthRun, std::string> cases[] = {
        {option, "ostrel-run: --vl '"},
        {variable, "ostrel-run: OSTREL_VL='"},
        {client, "SVE emulation client usage error: -vl '"}};
    for (const auto &[run, prefix] : cases) {
        if (run.client && !client_available()) continue;
        const ProgramResult ours = ostrel_run(run, value);
        EXPECT_NE(ours.exit_status, 0) << prefix;
        EXPECT_EQ(ours.out, "") << prefix;
        EXPECT_EQ(ours.err, prefix + value + rule);
    }
}

INSTANTIATE_TEST_SUITE_P(All, Refused,
                         ::testing::Values("0", "100", "129", "2176", "512x", "", "-128", "+512"));

} // namespace
} // namespace ostrel::testing
