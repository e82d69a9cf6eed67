// ostrel-oracle as a user runs it. Without qemu in the loop, stand-in runners (the engine
// runner, changed one way each) play the reference: an engine matched against itself passes,
// a corrupted result, an undefined reference and a crashing runner each show up on their row.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>

#include "sve/client/vector_length.h"
#include "sve/decode/decode_rows.h"
#include "tests/support/run_program.h"
#include "tools/oracle/row_traits.h"

namespace {

using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;
using ostrel::testing::split_lines;

ProgramResult oracle(const std::vector<std::string> &args) {
    return run_program(OSTREL_ORACLE_PROGRAM, args);
}

// Built rows that need no memory, in table order (the order of the output lines).
std::vector<std::string> built_rows(std::size_t count) {
    std::vector<std::string> names;
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
        if (names.size() < count && row.state == ostrel::RowState::built &&
            row.road != ostrel::Road::none && !ostrel::oracle::row_traits(row).memory)
            names.push_back(row.name);
    return names;
}

std::string exact(const std::vector<std::string> &names) {
    std::string pattern = "^(";
    for (std::size_t i = 0; i < names.size(); ++i)
        pattern += (i ? "|" : "") + names[i];
    return pattern + ")$";
}

class OracleTool : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/ostrel-oracle-testXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        for (const char *name : {"corrupt-z", "undefined", "default-length"})
            link(name);
    }
    void TearDown() override {
        for (const std::string &l : links_)
            unlink(l.c_str());
        rmdir(dir_.c_str());
    }
    std::string link(const std::string &name) {
        const std::string path = dir_ + "/" + name;
        symlink(OSTREL_ORACLE_STAND_IN, path.c_str());
        links_.push_back(path);
        return path;
    }
    std::string stand_in(const std::string &name) const { return dir_ + "/" + name; }
    // The engine plays the reference too, run directly.
    std::vector<std::string>
    against_engine(const std::vector<std::string> &rows, const std::string &engine,
                   const std::string &reference = OSTREL_ORACLE_ENGINE) const {
        return {"--rows",  exact(rows),    "--cases",  "20",  "--ref",
                reference, "--ref-direct", "--engine", engine};
    }

    std::string dir_;
    std::vector<std::string> links_;
};

TEST_F(OracleTool, RejectsWhatItCannotRun) {
    const struct {
        std::vector<std::string> args;
        const char *message;
    } table[] = {
        {{"--arch", "sparc"}, "--arch is native or aarch64"},
        {{"--cases", "0"}, "--cases needs a count"},
        {{"--jobs", "many"}, "--jobs needs a count"},
        {{"--rows", "("}, "not a regular expression"},
        {{"--rows", "^NoSuchRow$"}, "no decode row matches"},
        {{"--frobnicate", "1"}, "unknown option"},
        {{"--vl", "100"}, ostrel::kVectorLengthRule},
        {{"--vl", "2176"}, ostrel::kVectorLengthRule},
        {{"--vl", "512bits"}, ostrel::kVectorLengthRule},
        {{"--ref", "/nonexistent/ostrel-oracle-ref"}, "reference runner not found: /nonexistent/"},
        {{"--ref-direct", "--ref", OSTREL_ORACLE_ENGINE, "--engine", "/nonexistent/engine"},
         "engine runner not found"},
        {{"--ref-direct", "--ref", OSTREL_ORACLE_ENGINE, "--deviations", "/nonexistent/list.md"},
         "cannot read the deviation list"},
    };
    for (const auto &t : table) {
        const ProgramResult r = oracle(t.args);
        EXPECT_EQ(r.exit_status, 2) << t.message;
        EXPECT_NE(r.err.find(t.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << t.message;
    }
}

TEST_F(OracleTool, AnEngineMatchedAgainstItselfPasses) {
    const std::vector<std::string> rows = built_rows(3);
    if (rows.size() < 3) GTEST_SKIP() << "fewer than three rows are built";
    const ProgramResult r = oracle(against_engine(rows, OSTREL_ORACLE_ENGINE));
    EXPECT_EQ(r.exit_status, 0) << r.out << r.err;
    const std::vector<std::string> expected = {
        "PASS " + rows[0], "PASS " + rows[1], "PASS " + rows[2],
        "rows: 3 implemented, 0 mismatching, 0 unimplemented"};
    EXPECT_EQ(split_lines(r.out), expected);
}

TEST_F(OracleTool, AWrongResultElementIsAMismatch) {
    const std::vector<std::string> rows = built_rows(1);
    if (rows.empty()) GTEST_SKIP() << "no row is built";
    const ProgramResult r = oracle(against_engine(rows, stand_in("corrupt-z")));
    EXPECT_EQ(r.exit_status, 1) << r.out << r.err;
    const std::vector<std::string> lines = split_lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    std::smatch m;
    const std::regex form(
        "^MISMATCH " + rows[0] +
        " ([0-9a-f]{8}) (\\S.*): z0\\[0\\]: reference 0x([0-9a-f]+), engine 0x([0-9a-f]+)$");
    ASSERT_TRUE(std::regex_match(lines[0], m, form)) << lines[0];
    EXPECT_NE(m[2].str(), "?") << "the encoding is disassembled";
    EXPECT_EQ(std::stoull(m[3], nullptr, 16) ^ std::stoull(m[4], nullptr, 16), 1u);
    EXPECT_EQ(lines[1], "rows: 1 implemented, 1 mismatching, 0 unimplemented");
}

// The length goes to the runners with the cases: an engine that ignores it disagrees about RDVL
// at any length but the default, and only there agrees.
TEST_F(OracleTool, TheCasesCarryTheLengthToTheRunners) {
    const struct {
        const char *bits;
        const char *verdict;
    } table[] = {{"128", "MISMATCH"}, {"2048", "MISMATCH"}, {"1536", "PASS"}};
    for (const auto &t : table) {
        std::vector<std::string> args = against_engine({"VecS64VLX"}, stand_in("default-length"));
        args.insert(args.end(), {"--vl", t.bits});
        const ProgramResult r = oracle(args);
        const std::vector<std::string> lines = split_lines(r.out);
        ASSERT_EQ(lines.size(), 2u) << t.bits << ": " << r.out << r.err;
        EXPECT_EQ(lines[0].rfind(std::string(t.verdict) + " VecS64VLX", 0), 0u) << lines[0];
    }
}

TEST_F(OracleTool, RowsUndefinedOnTheReferenceAreReportedSo) {
    const std::vector<std::string> rows = built_rows(1);
    if (rows.empty()) GTEST_SKIP() << "no row is built";
    const ProgramResult r =
        oracle(against_engine(rows, OSTREL_ORACLE_ENGINE, stand_in("undefined")));
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(split_lines(r.out),
              (std::vector<std::string>{"UNDEFINED " + rows[0],
                                        "rows: 0 implemented, 0 mismatching, 0 unimplemented"}));
}

TEST_F(OracleTool, UnbuiltRowsAreUnimplemented) {
    std::string name;
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
        if (name.empty() && row.state != ostrel::RowState::built &&
            !ostrel::oracle::row_traits(row).memory)
            name = row.name;
    if (name.empty()) GTEST_SKIP() << "every row is built";
    const ProgramResult r = oracle(against_engine({name}, OSTREL_ORACLE_ENGINE));
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(split_lines(r.out),
              (std::vector<std::string>{"UNIMPLEMENTED " + name,
                                        "rows: 0 implemented, 0 mismatching, 1 unimplemented"}));
}

// A runner that dies costs its own row only: the rest of the batch gets fresh runners.
TEST_F(OracleTool, ACrashingEngineFailsOnlyItsRow) {
    const std::vector<std::string> rows = built_rows(2);
    if (rows.size() < 2) GTEST_SKIP() << "fewer than two rows are built";
    const ProgramResult r = oracle(against_engine(rows, link("crash-on-" + rows[0])));
    EXPECT_EQ(r.exit_status, 1) << r.out << r.err;
    const std::vector<std::string> lines = split_lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_TRUE(
        std::regex_match(lines[0], std::regex("^MISMATCH " + rows[0] +
                                              " [0-9a-f]{8} .*: engine runner stopped at case 0 "
                                              "\\(signal 6\\)$")))
        << lines[0];
    EXPECT_EQ(lines[1], "PASS " + rows[1]);
    EXPECT_EQ(lines[2], "rows: 2 implemented, 1 mismatching, 0 unimplemented");
}

TEST_F(OracleTool, JobsDoNotChangeTheReport) {
    const std::vector<std::string> rows = built_rows(6);
    if (rows.size() < 2) GTEST_SKIP() << "fewer than two rows are built";
    std::vector<std::string> args = against_engine(rows, stand_in("corrupt-z"));
    const ProgramResult one = oracle(args);
    args.insert(args.end(), {"--jobs", "3"});
    const ProgramResult three = oracle(args);
    EXPECT_EQ(one.out, three.out);
    EXPECT_EQ(split_lines(one.out).size(), rows.size() + 1);
}

// The real thing: the reference runner under qemu's SVE against the native engine.
TEST_F(OracleTool, AddMatchesTheReference) {
    std::string program = OSTREL_ORACLE_PROGRAM;
    std::string reference =
        program.substr(0, program.rfind('/')) + "/../../aarch64/bin/ostrel-oracle-ref";
    if (const char *given = std::getenv("OSTREL_ORACLE_REF")) reference = given;
    if (access(reference.c_str(), X_OK) != 0)
        GTEST_SKIP() << "the reference runner is not built (" << reference
                     << "; build the AArch64 tree or set OSTREL_ORACLE_REF)";
    bool built = false;
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
        built |= std::string(row.name) == "VecU16AddVVM" && row.state == ostrel::RowState::built;
    if (!built) GTEST_SKIP() << "VecU16AddVVM (ADD, predicated) is not built yet";
    const ProgramResult r =
        oracle({"--rows", "^VecU16AddVVM$", "--cases", "50", "--ref", reference});
    EXPECT_EQ(r.exit_status, 0) << r.out << r.err;
    EXPECT_EQ(split_lines(r.out),
              (std::vector<std::string>{"PASS VecU16AddVVM",
                                        "rows: 1 implemented, 0 mismatching, 0 unimplemented"}));
}

} // namespace
