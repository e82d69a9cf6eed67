// ostrel-trace plot on real traces: the picture's size and what each panel holds (from the
// drawing's own axes, as the tool reports them), and one-line errors for bad input.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "sve/trace/trace_support.h"
#include "tests/support/run_program.h"
#include "tests/trace_support/trace_test_support.h"

namespace {

using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;
namespace tt = ostrel::trace::testing;

ProgramResult plot(const std::string &trace, const std::string &out) {
    return run_program(OSTREL_TRACE_PROGRAM, {"plot", trace, "-o", out});
}

// Width and height from a PNG's IHDR chunk; {0, 0} when it is no PNG.
std::pair<unsigned, unsigned> png_size(const std::string &path) {
    const std::vector<unsigned char> b = tt::read_bytes(path);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (b.size() < 24 || !std::equal(signature, signature + 8, b.begin())) return {0, 0};
    auto be32 = [&](size_t at) {
        return unsigned(b[at]) << 24 | unsigned(b[at + 1]) << 16 | unsigned(b[at + 2]) << 8 |
               unsigned(b[at + 3]);
    };
    return {be32(16), be32(20)};
}

TEST(Plot, TheDemoTraceShowsItsLoadsAndItsStoreInTwoRegions) {
    tt::TempDir dir;
    const std::string trace = dir.file("demo.trace"), picture = dir.file("demo.png");
    const ProgramResult run =
        run_program(OSTREL_RUN_PROGRAM,
                    {"--trace", trace, std::string(OSTREL_EXAMPLES_DIR) + "/region_of_interest"});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    const ProgramResult drawn = plot(trace, picture);
    ASSERT_EQ(drawn.exit_status, 0) << drawn.err;
    // The loop's five loads (four of 96 bytes, one of 16) read a static array, the one store
    // (192 bytes) writes the stack.
    EXPECT_EQ(drawn.out, "wrote " + picture +
                             ": 1000x480 pixels, 1 thread(s) x 2 region(s), points per panel 5 1, "
                             "3 access size(s) in the histogram\n");
    EXPECT_EQ(png_size(picture), std::make_pair(1000u, 480u));
}

// Eight threads, each with ten contiguous loads, one 4-element gather and one store, in one array.
void write_eight_thread_trace(const std::string &path) {
    const tt::ChildResult child = tt::run_in_child([&] {
        ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
        sve_init(nullptr, "eight");
        std::vector<std::thread> threads;
        for (uint32_t t = 0; t < 8; ++t)
            threads.emplace_back([t] {
                auto emit = [t](memaccess_type_t type, uint32_t flags, uint64_t size,
                                uint64_t addr) {
                    sve_mem_ref_t ref{};
                    ref.count = incr_count();
                    ref.tid = 0x1000 + t;
                    ref.seq_flags = flags;
                    ref.type = type;
                    ref.size = size;
                    ref.addr = addr;
                    ref.pc = 0x400000;
                    trace_mem(ref);
                };
                const uint64_t base = 0x10000000 + t * 0x1000;
                for (int i = 0; i < 10; ++i)
                    emit(MEMACCESS_READ, 0, 192, base + 192 * i);
                for (uint32_t e = 0; e < 4; ++e)
                    emit(MEMACCESS_READ, e == 0 ? 3 : e == 3 ? 6 : 2, 8, base + 64 * e);
                emit(MEMACCESS_WRITE, 0, 192, base + 2048);
            });
        for (std::thread &t : threads)
            t.join();
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
}

TEST(Plot, AnEightThreadTraceGetsOnePanelPerThread) {
    tt::TempDir dir;
    const std::string trace = dir.file("eight.trace");
    write_eight_thread_trace(trace);
    const ProgramResult png = plot(trace, dir.file("eight.png"));
    ASSERT_EQ(png.exit_status, 0) << png.err;
    EXPECT_NE(png.out.find(": 500x2020 pixels, 8 thread(s) x 1 region(s), points per panel 15 15 "
                           "15 15 15 15 15 15, 2 access size(s)"),
              std::string::npos)
        << png.out;
    EXPECT_EQ(png_size(dir.file("eight.png")), std::make_pair(500u, 2020u));

    const ProgramResult svg = plot(trace, dir.file("eight.svg"));
    ASSERT_EQ(svg.exit_status, 0) << svg.err;
    EXPECT_NE(tt::read_text(dir.file("eight.svg")).find("<svg"), std::string::npos);
}

struct BadInput {
    const char *name;
    const char *trace; // "good", "truncated" or a path
    const char *out;   // relative names go into the scratch directory
    int exit_status;
    const char *message_start;
};

class PlotErrors : public ::testing::TestWithParam<BadInput> {};

TEST_P(PlotErrors, GetOneLineAndANonZeroExit) {
    const BadInput &c = GetParam();
    tt::TempDir dir;
    std::string trace = c.trace;
    if (trace == "good" || trace == "truncated") {
        write_eight_thread_trace(dir.file("t.trace"));
        std::vector<unsigned char> bytes = tt::read_bytes(dir.file("t.trace"));
        if (trace == "truncated") bytes.resize(bytes.size() - 5);
        tt::write_bytes(dir.file("t.trace"), bytes);
        trace = dir.file("t.trace");
    }
    const std::string out = c.out[0] == '/' ? c.out : dir.file(c.out);
    const ProgramResult r = plot(trace, out);
    EXPECT_EQ(r.exit_status, c.exit_status);
    const std::vector<std::string> lines = ostrel::testing::split_lines(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find(c.message_start), std::string::npos) << r.err;
    if (c.exit_status == 1) {
        EXPECT_EQ(lines.size(), 1u) << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotErrors,
    ::testing::Values(
        BadInput{"MissingTrace", "/nonexistent/t.trace", "o.png", 1,
                 "ostrel-trace: /nonexistent/t.trace: No such file or directory"},
        BadInput{"TruncatedTrace", "truncated", "o.png", 1, "partial trailing record"},
        BadInput{"UnwritableOutput", "good", "/nonexistent/dir/o.png", 1,
                 "ostrel-trace: cannot write '/nonexistent/dir/o.png': No such file or directory"},
        BadInput{"UnknownFormat", "good", "o.jpg", 2, "ostrel-trace: unknown picture format of '"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
