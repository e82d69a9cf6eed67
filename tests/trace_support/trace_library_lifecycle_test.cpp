// The library's one-shot life: lazy start, repeated init and exit, where the file goes, and
// records after the end.
#include <algorithm>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "sve/trace/support/trace_file.h"
#include "sve/trace/trace_support.h"
#include "trace_test_support.h"

namespace ostrel::trace {
namespace {

// Emits one record whose address tells the test which call it came from.
void emit(uint64_t marker) {
    sve_mem_ref_t ref{};
    ref.count = incr_count();
    ref.tid = 1;
    ref.type = MEMACCESS_READ;
    ref.size = 8;
    ref.addr = marker;
    ref.pc = 0x1000;
    trace_mem(ref);
}

std::vector<uint64_t> addresses_of(const TraceFile &trace) {
    std::vector<uint64_t> addresses;
    for (const sve_mem_ref_t &ref : trace.records)
        addresses.push_back(ref.addr);
    return addresses;
}

class TraceLibraryLifecycleTest : public ::testing::Test {
  protected:
    testing::TempDir dir_;
    const std::string path_ = dir_.file("life.trace");
};

TEST_F(TraceLibraryLifecycleTest, RecordsBeforeInitStartTheTraceUnderTheProgramName) {
    const std::string path = path_;
    const testing::ChildResult child = testing::run_in_child([&] {
        ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
        emit(1);
        emit(2);
        // The trace is already open: a late init must neither fail nor restart it.
        if (!sve_init(nullptr, "late-name")) return 10;
        emit(3);
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    const TraceReadResult result = read_trace_file(path_);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.trace.header.app_name, OSTREL_TEST_PROGRAM_NAME);
    EXPECT_EQ(result.trace.header.pid, static_cast<uint32_t>(child.pid));
    EXPECT_EQ(addresses_of(result.trace), (std::vector<uint64_t>{1, 2, 3}));
    ASSERT_EQ(result.trace.records.size(), 3u);
    EXPECT_EQ(result.trace.records[0].count, 1u);
    EXPECT_EQ(result.trace.records[2].count, 3u);
}

TEST_F(TraceLibraryLifecycleTest, SecondInitKeepsTheFirstName) {
    const std::string path = path_;
    const testing::ChildResult child = testing::run_in_child([&] {
        ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
        if (!sve_init(nullptr, "first") || !sve_init(nullptr, "second")) return 10;
        emit(7);
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    const TraceReadResult result = read_trace_file(path_);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.trace.header.app_name, "first");
    EXPECT_EQ(addresses_of(result.trace), (std::vector<uint64_t>{7}));
}

TEST_F(TraceLibraryLifecycleTest, InitAndExitWithoutRecordsLeaveAnEmptyTrace) {
    const std::string path = path_;
    const testing::ChildResult child = testing::run_in_child([&] {
        ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
        sve_init(nullptr, "quiet");
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    const TraceReadResult result = read_trace_file(path_);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.trace.header.app_name, "quiet");
    EXPECT_TRUE(result.trace.records.empty());
}

TEST_F(TraceLibraryLifecycleTest, RecordsAfterExitAreDroppedQuietly) {
    const std::string path = path_;
    const std::string stderr_path = dir_.file("stderr.txt");
    const testing::ChildResult child = testing::run_in_child([&] {
        testing::redirect_stderr(stderr_path);
        ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
        sve_init(nullptr, "app");
        emit(1);
        emit(2);
        sve_exit();
        emit(3);
        std::thread([] { emit(4); }).join();
        sve_exit();
        emit(5);
        // And a new init cannot reopen (and truncate) the finished trace.
        sve_init(nullptr, "again");
        emit(6);
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    const TraceReadResult result = read_trace_file(path_);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.trace.header.app_name, "app");
    EXPECT_EQ(addresses_of(result.trace), (std::vector<uint64_t>{1, 2}));
    EXPECT_EQ(testing::read_text(stderr_path), "");
}

TEST_F(TraceLibraryLifecycleTest, WithoutTheVariableTheTraceGoesToTheWorkingDirectory) {
    const std::string dir = dir_.path();
    const testing::ChildResult child = testing::run_in_child([&] {
        ::unsetenv("OSTREL_TRACE_FILE");
        if (::chdir(dir.c_str()) != 0) return 10;
        sve_init(nullptr, "default-path");
        emit(9);
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    const std::string expected = dir_.file("ostrel-" + std::to_string(child.pid) + ".trace");
    const TraceReadResult result = read_trace_file(expected);
    ASSERT_TRUE(result.ok()) << expected << ": " << result.error;
    EXPECT_EQ(result.trace.header.app_name, "default-path");
    EXPECT_EQ(addresses_of(result.trace), (std::vector<uint64_t>{9}));
}

TEST_F(TraceLibraryLifecycleTest, WithoutTheVariableOrARecordNoFileIsCreated) {
    const std::string dir = dir_.path();
    const testing::ChildResult child = testing::run_in_child([&] {
        ::unsetenv("OSTREL_TRACE_FILE");
        if (::chdir(dir.c_str()) != 0) return 10;
        sve_init(nullptr, "untraced");
        (void)incr_count(); // numbering alone is no record
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    EXPECT_TRUE(testing::list_directory(dir_.path()).empty());
}

TEST_F(TraceLibraryLifecycleTest, ProcessExitWithoutSveExitStillWritesEverything) {
    const std::string path = path_;
    const testing::ChildResult child = testing::run_in_child([&]() -> int {
        ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
        sve_init(nullptr, "no-exit-call");
        emit(1);
        std::thread([] { emit(2); }).join();
        // A thread still running at exit: only the library itself can write its record out.
        std::promise<void> emitted;
        std::thread([&emitted] {
            emit(3);
            emitted.set_value();
            for (;;)
                ::pause();
        }).detach();
        emitted.get_future().wait();
        std::exit(0); // runs thread-local and library destructors, unlike the helper's _exit
    });
    ASSERT_EQ(child.exit_code, 0);
    const TraceReadResult result = read_trace_file(path_);
    ASSERT_TRUE(result.ok()) << result.error;
    std::vector<uint64_t> addresses = addresses_of(result.trace);
    std::sort(addresses.begin(), addresses.end());
    EXPECT_EQ(addresses, (std::vector<uint64_t>{1, 2, 3}));
}

} // namespace
} // namespace ostrel::trace
