// A trace that cannot be written must cost the traced program nothing but one line on stderr.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "sve/trace/support/thread_buffer.h"
#include "sve/trace/support/trace_file.h"
#include "sve/trace/trace_support.h"
#include "trace_test_support.h"

namespace ostrel::trace {
namespace {

// More than one buffer's worth per thread, so that writes are attempted again and again.
constexpr uint64_t kRecordsPerThread = 10000;
constexpr uint32_t kThreads = 3;

void emit_range(uint32_t thread) {
    for (uint64_t i = 0; i < kRecordsPerThread; ++i) {
        sve_mem_ref_t ref{};
        ref.count = incr_count();
        ref.tid = thread;
        ref.type = MEMACCESS_WRITE;
        ref.size = 4;
        ref.addr = i;
        trace_mem(ref);
    }
}

struct WriteErrorCase {
    const char *name;
    // The trace path, given the test's scratch directory.
    std::string (*path_in)(const std::string &dir);
    // Limit the child's file size to what the header and one thread buffer need, plus a
    // little: the second buffer is then cut short, and that cut-off part must not stay.
    bool limit_to_one_buffer;
    int expected_errno;
};

constexpr const char *kAppName = "victim";

class TraceLibraryWriteErrorTest : public ::testing::TestWithParam<WriteErrorCase> {};

TEST_P(TraceLibraryWriteErrorTest, ReportsOnceAndKeepsTheProgramRunning) {
    const WriteErrorCase &c = GetParam();
    testing::TempDir dir;
    const std::string path = c.path_in(dir.path());
    const std::string stderr_path = dir.file("stderr.txt");

    const testing::ChildResult child = testing::run_in_child([&] {
        testing::redirect_stderr(stderr_path);
        ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
        if (c.limit_to_one_buffer) {
            std::signal(SIGXFSZ, SIG_IGN); // turn the limit into EFBIG instead of a kill
            const rlim_t size = encode_trace_header(0, kAppName).size() +
                                ThreadBuffer::kCapacity * kTraceRecordSize + 100;
            const rlimit limit{size, size};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 20;
        }
        if (!sve_init(nullptr, kAppName)) return 10;
        std::vector<std::thread> threads;
        for (uint32_t t = 0; t < kThreads; ++t)
            threads.emplace_back(emit_range, t);
        for (std::thread &thread : threads)
            thread.join();
        emit_range(kThreads);
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);

    const std::string messages = testing::read_text(stderr_path);
    ASSERT_FALSE(messages.empty()) << "the failure went unreported";
    EXPECT_EQ(messages.find('\n'), messages.size() - 1) << "expected one line:\n" << messages;
    EXPECT_NE(messages.find(path), std::string::npos) << messages;
    EXPECT_NE(messages.find(std::strerror(c.expected_errno)), std::string::npos) << messages;

    if (c.limit_to_one_buffer) {
        // What was written before the failure is still a readable trace of whole records.
        const TraceReadResult result = read_trace_file(path);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.trace.records.size(), ThreadBuffer::kCapacity);
    } else {
        EXPECT_FALSE(std::filesystem::is_regular_file(path)) << "a trace appeared after all";
    }
}

const WriteErrorCase kWriteErrorCases[] = {
    {"MissingDirectory", [](const std::string &dir) { return dir + "/no/such/dir/t.trace"; }, false,
     ENOENT},
    {"PathIsADirectory", [](const std::string &dir) { return dir; }, false, EISDIR},
    {"DeviceFull", [](const std::string &) { return std::string("/dev/full"); }, false, ENOSPC},
    {"FileSizeLimitMidway", [](const std::string &dir) { return dir + "/limited.trace"; }, true,
     EFBIG},
};

INSTANTIATE_TEST_SUITE_P(Failures, TraceLibraryWriteErrorTest,
                         ::testing::ValuesIn(kWriteErrorCases),
                         [](const ::testing::TestParamInfo<WriteErrorCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace ostrel::trace
