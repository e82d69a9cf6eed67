// Counting on many threads at once, the region split, unimplemented words, and the session the
// environment asks for. The counters and the session are one-shot process state, so every
// scenario runs in a child process of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "sve/client/mix_counters.h"
#include "sve/client/mix_session.h"
#include "sve/trace/memtrace.h"
#include "tests/trace_support/trace_test_support.h"

namespace ostrel::mix {
namespace {

using trace::testing::run_in_child;
using trace::testing::TempDir;

constexpr size_t kRowA = 10, kRowB = 500;

TEST(MixCounting, EveryThreadsCountsAddUpWhileOffCountsNothing) {
    const auto child = run_in_child([] {
        count_if_enabled(kDecodeRows[kRowA].handler, DECODE_OK, 0, nullptr); // off: not counted
        enable();
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([t] {
                for (int i = 0; i < 10000; ++i)
                    count_if_enabled(kDecodeRows[t % 2 ? kRowA : kRowB].handler, DECODE_OK, 0,
                                     nullptr);
                enable_trace = true; // this thread's region of interest
                count_if_enabled(kDecodeRows[kRowB].handler, DECODE_OK, 0, nullptr);
            });
        for (std::thread &t : threads)
            t.join();
        const MixSnapshot s = snapshot(); // the threads have exited: their counts stay
        if (s.rows[kOutsideRegion][kRowA] != 40000) return 1;
        if (s.rows[kOutsideRegion][kRowB] != 40000) return 2;
        if (s.rows[kInsideRegion][kRowB] != 8) return 3;
        if (s.rows[kInsideRegion][kRowA] != 0) return 4;
        return s.unimplemented.empty() ? 0 : 5;
    });
    EXPECT_EQ(child.exit_code, 0);
}

TEST(MixCounting, UnimplementedWordsKeepTheirCountAndFirstPc) {
    const auto child = run_in_child([] {
        enable();
        const sve_handler_t h = kDecodeRows[kRowA].handler;
        const char *code = reinterpret_cast<const char *>(0x4000);
        count(h, DECODE_UNIMPLEMENTED, 0x65000000, code);
        count(h, DECODE_UNIMPLEMENTED, 0x65000000, code + 8);
        count(h, DECODE_OK, 0x65000000, code + 16); // emulated: not a meeting
        count(h, DECODE_UNIMPLEMENTED, 0x65000004, code + 4);
        const MixSnapshot s = snapshot();
        if (s.unimplemented.size() != 2) return 1;
        for (const UnimplementedWord &w : s.unimplemented) {
            if (w.word == 0x65000000 && (w.count[0] != 2 || w.first_pc != 0x4000)) return 2;
            if (w.word == 0x65000004 && (w.count[0] != 1 || w.first_pc != 0x4004)) return 3;
        }
        return s.rows[kOutsideRegion][kRowA] == 4 ? 0 : 4;
    });
    EXPECT_EQ(child.exit_code, 0);
}

struct SessionCase {
    const char *name;
    const char *format; // null: unset
    bool writable_path;
    const char *expected_error_start; // null: no error
    const char *expected_report_start;
};

class MixSession : public ::testing::TestWithParam<SessionCase> {};

TEST_P(MixSession, StartsFromTheEnvironmentAndReportsAtTheEnd) {
    const SessionCase &c = GetParam();
    TempDir dir;
    const std::string path = c.writable_path ? dir.file("mix.txt") : dir.file("absent/mix.txt");
    const std::string out = dir.file("child.txt");
    const auto child = run_in_child([&] {
        ::setenv(kMixFileVariable, path.c_str(), 1);
        if (c.format) ::setenv(kMixFormatVariable, c.format, 1);
        const std::string error = start_mix_from_environment();
        trace::testing::write_bytes(out, std::vector<unsigned char>(error.begin(), error.end()));
        if (!error.empty()) return 0;
        count_if_enabled(kDecodeRows[kRowA].handler, DECODE_OK, 0, nullptr);
        finish_mix();
        finish_mix(); // once only
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    const std::string error = trace::testing::read_text(out);
    if (c.expected_error_start) {
        EXPECT_EQ(error.rfind(c.expected_error_start, 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        return;
    }
    EXPECT_EQ(error, "");
    const std::string report = trace::testing::read_text(path);
    EXPECT_EQ(report.rfind(c.expected_report_start, 0), 0u) << report;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixSession,
    ::testing::Values(SessionCase{"TextByDefault", nullptr, true, nullptr,
                                  "Instruction mix: 1 SVE instructions emulated\n"},
                      SessionCase{"Csv", "csv", true, nullptr,
                                  "kind,name,type,class,count,share,first_pc\n"},
                      SessionCase{"UnknownFormat", "xml", true,
                                  "ostrel: unknown instruction mix format 'xml'", nullptr},
                      SessionCase{"UnwritablePath", nullptr, false,
                                  "ostrel: cannot write the instruction mix to '", nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MixSessionFork, AForkedChildLeavesTheReportToItsParent) {
    TempDir dir;
    const std::string path = dir.file("mix.txt");
    const auto child = run_in_child([&] {
        ::setenv(kMixFileVariable, path.c_str(), 1);
        if (!start_mix_from_environment().empty()) return 1;
        count_if_enabled(kDecodeRows[kRowA].handler, DECODE_OK, 0, nullptr);
        const auto grandchild = run_in_child([] {
            finish_mix(); // not its file
            return 0;
        });
        finish_mix();
        return grandchild.exit_code;
    });
    ASSERT_EQ(child.exit_code, 0);
    const std::string report = trace::testing::read_text(path);
    EXPECT_EQ(report.find("Instruction mix: "), 0u) << report;
    EXPECT_EQ(report.find("Instruction mix: ", 1), std::string::npos) << "written twice";
}

} // namespace
} // namespace ostrel::mix
