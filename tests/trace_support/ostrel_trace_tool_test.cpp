// ostrel-trace, run as a program on traces written by the real library.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "sve/trace/support/trace_file.h"
#include "sve/trace/trace_support.h"
#include "trace_test_support.h"

namespace ostrel::trace {
namespace {

std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

// The tool's command line: the tool itself, behind the emulator in a cross-built tree.
std::vector<std::string> tool_command() {
    return split(OSTREL_TRACE_TOOL_COMMAND, '|');
}

struct ToolRun {
    int exit_code = -1;
    std::string out;
    std::string err;
};

void emit(uint32_t tid, memaccess_type_t type, uint32_t seq_flags, uint64_t size, uint64_t addr,
          uint64_t pc) {
    sve_mem_ref_t ref{};
    ref.count = incr_count();
    ref.tid = tid;
    ref.seq_flags = seq_flags;
    ref.type = type;
    ref.size = size;
    ref.addr = addr;
    ref.pc = pc;
    trace_mem(ref);
}

void emit_marker(uint32_t kind) {
    emit(kind, MEMACCESS_WRITE, 0, 0, 0, 0);
}

// The trace every tool test reads: counts 1..18 in this order.
//   1       start marker
//   2, 3    tid 0x1111 loads of 64 bytes at pc 0x400100
//   4, 5    tid 0x2222 element-wise stores of 8 bytes at pc 0x400200
//   6       tid 0x1111 single element-wise load of 4 bytes at pc 0x400300
//   7..17   tid 0x3333 stores of k = 1..11 bytes at pc 0x500000 + k
//   18      stop marker
void write_reference_trace() {
    emit_marker(kTidStartMarker);
    emit(0x1111, MEMACCESS_READ, 0, 64, 0x10000, 0x400100);
    emit(0x1111, MEMACCESS_READ, 0, 64, 0x10040, 0x400100);
    emit(0x2222, MEMACCESS_WRITE, 3, 8, 0x20000, 0x400200);
    emit(0x2222, MEMACCESS_WRITE, 6, 8, 0x20010, 0x400200);
    emit(0x1111, MEMACCESS_READ, 7, 4, 0x30000, 0x400300);
    for (uint64_t k = 1; k <= 11; ++k)
        emit(0x3333, MEMACCESS_WRITE, 0, k, 0x40000 + 16 * k, 0x500000 + k);
    emit_marker(kTidStopMarker);
}

class OstrelTraceToolTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new testing::TempDir;
        const std::string path = dir_->file("reference.trace");
        const testing::ChildResult child = testing::run_in_child([&] {
            ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
            sve_init(nullptr, "tool-test-app");
            write_reference_trace();
            sve_exit();
            return 0;
        });
        writer_pid_ = child.pid;
        writer_exit_code_ = child.exit_code;
    }

    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override { ASSERT_EQ(writer_exit_code_, 0) << "writing the reference trace"; }

    static std::string reference() { return dir_->file("reference.trace"); }

    static ToolRun run_tool(const std::vector<std::string> &args) {
        std::vector<std::string> argv = tool_command();
        argv.insert(argv.end(), args.begin(), args.end());
        const std::string out = dir_->file("stdout.txt");
        const std::string err = dir_->file("stderr.txt");
        ToolRun run;
        run.exit_code = testing::run_program(argv, out, err).exit_code;
        run.out = testing::read_text(out);
        run.err = testing::read_text(err);
        return run;
    }

    static testing::TempDir *dir_;
    static pid_t writer_pid_;
    static int writer_exit_code_;
};

testing::TempDir *OstrelTraceToolTest::dir_ = nullptr;
pid_t OstrelTraceToolTest::writer_pid_ = -1;
int OstrelTraceToolTest::writer_exit_code_ = -1;

// The lines of `text` from the one equal to `first` on, `count` of them.
std::vector<std::string> lines_from(const std::string &text, const std::string &first,
                                    size_t count) {
    const std::vector<std::string> lines = split(text, '\n');
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == first)
            return std::vector<std::string>(lines.begin() + i,
                                            lines.begin() + std::min(lines.size(), i + count));
    return {};
}

TEST_F(OstrelTraceToolTest, SummaryTotals) {
    const ToolRun run = run_tool({"summary", reference()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = split(run.out, '\n');
    const std::vector<std::string> expected = {
        "application: tool-test-app",
        "pid: " + std::to_string(writer_pid_),
        "records: 18 (2 markers)",
        "bytes read: 132 in 3 load records",
        "bytes written: 82 in 13 store records",
    };
    ASSERT_GE(lines.size(), expected.size()) << run.out;
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
}

TEST_F(OstrelTraceToolTest, SummaryPerThreadCountsLeaveMarkersOut) {
    const ToolRun run = run_tool({"summary", reference()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(
        lines_from(run.out, "threads: 3", 4),
        (std::vector<std::string>{"threads: 3", "  tid 0x00001111: 3 records",
                                  "  tid 0x00002222: 2 records", "  tid 0x00003333: 11 records"}))
        << run.out;
}

TEST_F(OstrelTraceToolTest, SummaryTopTenPcsByBytes) {
    const ToolRun run = run_tool({"summary", reference()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    // 0x400300 and 0x500004 both moved 4 bytes: the lower PC wins the last place.
    EXPECT_EQ(lines_from(run.out, "top PCs by bytes:", 12),
              (std::vector<std::string>{
                  "top PCs by bytes:",
                  "  pc 0x400100: 128 bytes in 2 records",
                  "  pc 0x400200: 16 bytes in 2 records",
                  "  pc 0x50000b: 11 bytes in 1 records",
                  "  pc 0x50000a: 10 bytes in 1 records",
                  "  pc 0x500009: 9 bytes in 1 records",
                  "  pc 0x500008: 8 bytes in 1 records",
                  "  pc 0x500007: 7 bytes in 1 records",
                  "  pc 0x500006: 6 bytes in 1 records",
                  "  pc 0x500005: 5 bytes in 1 records",
                  "  pc 0x400300: 4 bytes in 1 records",
                  "markers: 1 start, 1 stop",
              }))
        << run.out;
}

TEST_F(OstrelTraceToolTest, SummaryListsMarkers) {
    const ToolRun run = run_tool({"summary", reference()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(lines_from(run.out, "markers: 1 start, 1 stop", 4),
              (std::vector<std::string>{"markers: 1 start, 1 stop", "  start at count 1",
                                        "  stop at count 18"}))
        << run.out;
}

TEST_F(OstrelTraceToolTest, DumpPrintsEveryRecordInFileOrder) {
    const ToolRun run = run_tool({"dump", reference()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> lines = split(run.out, '\n');
    ASSERT_EQ(lines.size(), 18u) << run.out;
    EXPECT_EQ(lines[0],
              "count=1 tid=0xffffffff seq_flags=0 type=start-marker size=0 addr=0x0 pc=0x0");
    EXPECT_EQ(lines[1],
              "count=2 tid=0x00001111 seq_flags=0 type=load size=64 addr=0x10000 pc=0x400100");
    EXPECT_EQ(lines[3],
              "count=4 tid=0x00002222 seq_flags=3 type=store size=8 addr=0x20000 pc=0x400200");
    EXPECT_EQ(lines[5],
              "count=6 tid=0x00001111 seq_flags=7 type=load size=4 addr=0x30000 pc=0x400300");
    EXPECT_EQ(lines[17],
              "count=18 tid=0xfffffffe seq_flags=0 type=stop-marker size=0 addr=0x0 pc=0x0");
}

TEST_F(OstrelTraceToolTest, DumpCsvHasAHeaderAndRawFields) {
    const ToolRun run = run_tool({"dump", reference(), "--csv"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> lines = split(run.out, '\n');
    ASSERT_EQ(lines.size(), 19u) << run.out;
    EXPECT_EQ(lines[0], "count,tid,seq_flags,type,size,addr,pc");
    EXPECT_EQ(lines[1], "1,0xffffffff,0,0,0,0x0,0x0");
    EXPECT_EQ(lines[2], "2,0x00001111,0,1,64,0x10000,0x400100");
    EXPECT_EQ(lines[5], "5,0x00002222,6,0,8,0x20010,0x400200");
    EXPECT_EQ(lines[17], "17,0x00003333,0,0,11,0x400b0,0x50000b");
}

struct BadFileCase {
    const char *name;
    // Writes the bad file at `path`, given the reference trace; nothing for a missing file.
    void (*make)(const std::string &path, const std::string &reference);
    std::string reason;
};

class OstrelTraceToolBadFileTest : public OstrelTraceToolTest,
                                   public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(OstrelTraceToolBadFileTest, ExitsOneWithOneLine) {
    const BadFileCase &c = GetParam();
    const std::string path = dir_->file(std::string("bad-") + c.name);
    c.make(path, reference());
    for (const char *command : {"summary", "dump"}) {
        SCOPED_TRACE(command);
        const ToolRun run = run_tool({command, path});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.err, "ostrel-trace: " + path + ": " + c.reason + "\n");
        EXPECT_EQ(run.out, "");
    }
}

const BadFileCase kBadFiles[] = {
    {"missing", [](const std::string &, const std::string &) {}, std::strerror(ENOENT)},
    {"empty", [](const std::string &path, const std::string &) { testing::write_bytes(path, {}); },
     "empty file"},
    {"foreign",
     [](const std::string &path, const std::string &) {
         testing::write_bytes(path, std::vector<unsigned char>(100, 'x'));
     },
     "not an ostrel trace file (bad magic)"},
    // The 18-record reference trace cut 7 bytes short.
    {"truncated",
     [](const std::string &path, const std::string &reference) {
         std::vector<unsigned char> bytes = testing::read_bytes(reference);
         bytes.resize(bytes.size() - 7);
         testing::write_bytes(path, bytes);
     },
     "partial trailing record (41 bytes after record 17)"},
};

INSTANTIATE_TEST_SUITE_P(BadFiles, OstrelTraceToolBadFileTest, ::testing::ValuesIn(kBadFiles),
                         [](const ::testing::TestParamInfo<BadFileCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(OstrelTraceToolTest, UsageErrorsExitTwo) {
    const std::vector<std::vector<std::string>> bad_command_lines = {
        {},
        {"summary"},
        {"frobnicate", reference()},
        {"dump", reference(), "--json"},
        {"summary", reference(), "--csv"},
    };
    for (const std::vector<std::string> &args : bad_command_lines) {
        std::string shown;
        for (const std::string &arg : args)
            shown += " " + arg;
        SCOPED_TRACE("ostrel-trace" + shown);
        const ToolRun run = run_tool(args);
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_NE(run.err.find("usage: ostrel-trace"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

} // namespace
} // namespace ostrel::trace
