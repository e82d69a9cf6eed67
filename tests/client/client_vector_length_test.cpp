// The DynamoRIO client at a vector length chosen when the program is run: ostrel-run's --vl, the
// client's own -vl and OSTREL_VL, the client's option winning, and bad values refused by the
// client before the program starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/end_to_end/vector_lengths.h"

using ostrel::testing::file_exists;
using ostrel::testing::LengthRun;
using ostrel::testing::ProgramResult;
using ostrel::testing::ProgramRun;
using ostrel::testing::run_with_environment;

namespace {

const std::string kDynamoRio = OSTREL_CLIENT_DYNAMORIO;
const std::string kDynamoRioLibrary = kDynamoRio + "/lib64/release/libdynamorio.so";

class ClientEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        if (kDynamoRio.empty() || !file_exists(OSTREL_CLIENT_LIBRARY) ||
            !file_exists(kDynamoRioLibrary))
            GTEST_SKIP() << "DynamoRIO client tests skipped: no DynamoRIO (build with `make "
                            "DynamoRIO_DIR=<DynamoRIO>/cmake`)";
    }
};

const auto *const environment = testing::AddGlobalTestEnvironment(new ClientEnvironment);

// ostrel-run with the client: `options` before the program, `assignments` in its environment.
ProgramResult under_client(const std::vector<std::string> &assignments,
                           std::vector<std::string> options, const std::string &program,
                           const std::vector<std::string> &args) {
    options.insert(options.begin(), {"--dynamorio", kDynamoRio});
    options.push_back(program);
    options.insert(options.end(), args.begin(), args.end());
    return run_with_environment(assignments, OSTREL_RUN_PROGRAM, options);
}

// DynamoRIO started on the program without ostrel-run, as drrun starts it, so that the client
// alone reads OSTREL_VL.
ProgramResult under_client_alone(const std::string &variable, const std::string &program) {
    const std::string options = "-code_api -xarch_root " OSTREL_SYSROOT " -client_lib '" +
                                std::string(OSTREL_CLIENT_LIBRARY) + ";0;'";
    return run_with_environment({}, "qemu-aarch64",
                                {"-cpu", "neoverse-n1", "-L", OSTREL_SYSROOT, "-E",
                                 "DYNAMORIO_EXE_PATH=" + program, "-E",
                                 "DYNAMORIO_OPTIONS=" + options, "-E", "OSTREL_VL=" + variable,
                                 "-0", program, kDynamoRioLibrary});
}

const ProgramRun kCounts = {"vector_length", {}};

class ClientLengths : public testing::TestWithParam<LengthRun> {};

TEST_P(ClientLengths, PrintWhatTheyPrintOnSveAtTheLauncherOptionsLength) {
    const auto by_launcher = [](unsigned bits, const std::string &program,
                                const std::vector<std::string> &args) {
        return under_client({}, {"--vl", std::to_string(bits)}, program, args);
    };
    ostrel::testing::expect_prints_as_on_sve_at(by_launcher, GetParam().bits, GetParam().run);
}

INSTANTIATE_TEST_SUITE_P(All, ClientLengths, testing::ValuesIn(ostrel::testing::every_length_run()),
                         ostrel::testing::length_run_name);
INSTANTIATE_TEST_SUITE_P(Examples, ClientLengths,
                         testing::ValuesIn(ostrel::testing::every_example_at_the_ends()),
                         ostrel::testing::length_run_name);

class ClientLength : public testing::TestWithParam<unsigned> {};

TEST_P(ClientLength, IsSetByItsOwnOption) {
    const auto by_client_option = [](unsigned bits, const std::string &program,
                                     const std::vector<std::string> &args) {
        return under_client({}, {"--client-options", "-vl " + std::to_string(bits)}, program, args);
    };
    ostrel::testing::expect_prints_as_on_sve_at(by_client_option, GetParam(), kCounts);
}

TEST_P(ClientLength, IsSetByTheVariableAlone) {
    const auto by_variable = [](unsigned bits, const std::string &program,
                                const std::vector<std::string> &) {
        return under_client_alone(std::to_string(bits), program);
    };
    ostrel::testing::expect_prints_as_on_sve_at(by_variable, GetParam(), kCounts);
}

INSTANTIATE_TEST_SUITE_P(All, ClientLength, testing::ValuesIn(ostrel::testing::kTestedLengths));

TEST(ClientLengthChoice, DefaultsTo1536Bits) {
    const auto unset = [](unsigned, const std::string &program,
                          const std::vector<std::string> &args) {
        return under_client({}, {}, program, args);
    };
    ostrel::testing::expect_prints_as_on_sve_at(unset, ostrel::kDefaultVectorBits, kCounts);
}

// -vl wins over OSTREL_VL, whether the variable came from the user or from ostrel-run's --vl.
TEST(ClientLengthChoice, ItsOptionWinsOverTheVariable) {
    const auto over_variable = [](unsigned bits, const std::string &program,
                                  const std::vector<std::string> &args) {
        return under_client({"OSTREL_VL=256"}, {"--client-options", "-vl " + std::to_string(bits)},
                            program, args);
    };
    ostrel::testing::expect_prints_as_on_sve_at(over_variable, 512, kCounts);
    const auto over_launcher = [](unsigned bits, const std::string &program,
                                  const std::vector<std::string> &args) {
        return under_client({}, {"--vl", "2048", "--client-options", "-vl " + std::to_string(bits)},
                            program, args);
    };
    ostrel::testing::expect_prints_as_on_sve_at(over_launcher, 128, kCounts);
}

class ClientRefuses : public testing::TestWithParam<std::string> {};

TEST_P(ClientRefuses, ItsOptionsBadValue) {
    // DynamoRIO splits the client's options at spaces and strips the quotes around a word.
    const std::string program = ostrel::testing::sve_program(kCounts.name);
    const ProgramResult run =
        under_client({}, {"--client-options", "-vl \"" + GetParam() + "\""}, program, {});
    ostrel::testing::expect_refused_before_start(
        run, ostrel::testing::refusal("SVE emulation client usage error: ", "-vl ", GetParam()));
}

TEST_P(ClientRefuses, TheVariablesBadValue) {
    const std::string program = ostrel::testing::sve_program(kCounts.name);
    ostrel::testing::expect_refused_before_start(
        under_client_alone(GetParam(), program),
        ostrel::testing::refusal("SVE emulation client usage error: ", "OSTREL_VL=", GetParam()));
}

INSTANTIATE_TEST_SUITE_P(All, ClientRefuses, testing::ValuesIn(ostrel::testing::kRefusedLengths),
                         ostrel::testing::refused_length_name);

} // namespace
