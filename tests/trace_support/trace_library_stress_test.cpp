// Many threads through the real library: every record reaches the file exactly once, whether
// the threads end before sve_exit, are still alive at it, or race with it.
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

#include "sve/trace/support/trace_file.h"
#include "sve/trace/trace_support.h"
#include "trace_test_support.h"

namespace ostrel::trace {
namespace {

constexpr uint32_t kThreads = 8;
constexpr uint64_t kRecordsPerThread = 100000;
constexpr uint64_t kAllRecords = kThreads * kRecordsPerThread;
constexpr uint32_t kTidBase = 0x7000;
constexpr const char *kAppName = "stress-app";

// Everything in the record is derived from (thread, sequence), so the reader side can tell
// each record's origin and check that nothing was altered on the way.
void emit(uint32_t thread, uint64_t sequence) {
    sve_mem_ref_t ref;
    std::memset(&ref, 0xEE, sizeof ref); // dirty padding
    ref.count = incr_count();
    ref.tid = kTidBase + thread;
    ref.seq_flags = static_cast<uint32_t>(sequence % 8);
    ref.type = sequence % 3 == 0 ? MEMACCESS_READ : MEMACCESS_WRITE;
    ref.size = sequence;
    ref.addr = uint64_t(thread) << 40 | sequence;
    ref.pc = 0x400000 + thread;
    trace_mem(ref);
}

void emit_range(uint32_t thread, uint64_t records) {
    for (uint64_t i = 0; i < records; ++i)
        emit(thread, i);
}

struct Census {
    std::string problem; // empty when every record checked out
    std::vector<uint64_t> per_thread;
};

// Checks that each thread's records form a gap-free prefix 0, 1, 2, ... in file order, that
// every payload matches its origin, and that counts are unique and within [1, issued].
Census take_census(const TraceFile &trace, uint64_t counts_issued) {
    Census census;
    census.per_thread.assign(kThreads, 0);
    std::vector<bool> count_seen(counts_issued + 1, false);
    char problem[256];
    for (size_t at = 0; at < trace.records.size(); ++at) {
        const sve_mem_ref_t &ref = trace.records[at];
        const uint32_t thread = ref.tid - kTidBase;
        const uint64_t sequence = ref.addr & ((uint64_t(1) << 40) - 1);
        const bool payload_ok =
            thread < kThreads && ref.addr >> 40 == thread && ref.size == sequence &&
            ref.seq_flags == sequence % 8 &&
            ref.type == (sequence % 3 == 0 ? MEMACCESS_READ : MEMACCESS_WRITE) &&
            ref.pc == 0x400000 + thread;
        if (!payload_ok) {
            std::snprintf(problem, sizeof problem, "record %zu: damaged payload", at);
        } else if (sequence != census.per_thread[thread]) {
            std::snprintf(problem, sizeof problem,
                          "record %zu: thread %u sequence %llu where %llu was due", at, thread,
                          static_cast<unsigned long long>(sequence),
                          static_cast<unsigned long long>(census.per_thread[thread]));
        } else if (ref.count == 0 || ref.count > counts_issued || count_seen[ref.count]) {
            std::snprintf(problem, sizeof problem,
                          "record %zu: count %llu out of range or repeated", at,
                          static_cast<unsigned long long>(ref.count));
        } else {
            count_seen[ref.count] = true;
            ++census.per_thread[thread];
            continue;
        }
        census.problem = problem;
        return census;
    }
    return census;
}

// The padding bytes of every record in the file must be zero, whatever the caller's were.
bool padding_is_zero(const std::string &path, uint32_t header_size) {
    const std::vector<unsigned char> bytes = testing::read_bytes(path);
    for (size_t offset = header_size; offset + kTraceRecordSize <= bytes.size();
         offset += kTraceRecordSize)
        for (size_t i = 20; i < 24; ++i)
            if (bytes[offset + i] != 0) return false;
    return true;
}

// Child-side check of the file while the child is still running; 0 when it holds every record.
int count_in_file_is(const std::string &path, size_t expected, int failure_code) {
    const TraceReadResult result = read_trace_file(path);
    if (result.ok() && result.trace.records.size() == expected) return 0;
    std::fprintf(stderr, "%s: expected %zu records, found %zu (%s)\n", path.c_str(), expected,
                 result.trace.records.size(), result.error.c_str());
    return failure_code;
}

void start_library(const std::string &path) {
    ::setenv("OSTREL_TRACE_FILE", path.c_str(), 1);
    sve_init(nullptr, kAppName);
}

class TraceLibraryStressTest : public ::testing::Test {
  protected:
    // Full checks of a run in which every record had to arrive.
    void expect_complete_trace(pid_t child) {
        const TraceReadResult result = read_trace_file(path_);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.trace.header.app_name, kAppName);
        EXPECT_EQ(result.trace.header.pid, static_cast<uint32_t>(child));
        EXPECT_EQ(result.trace.header.version, kTraceFormatVersion);
        EXPECT_EQ(result.trace.header.record_size, kTraceRecordSize);
        ASSERT_EQ(result.trace.records.size(), kAllRecords);
        const Census census = take_census(result.trace, kAllRecords);
        ASSERT_EQ(census.problem, "");
        for (uint32_t t = 0; t < kThreads; ++t)
            EXPECT_EQ(census.per_thread[t], kRecordsPerThread) << "thread " << t;
        EXPECT_TRUE(padding_is_zero(path_, result.trace.header.header_size));
    }

    testing::TempDir dir_;
    const std::string path_ = dir_.file("stress.trace");
};

TEST_F(TraceLibraryStressTest, ThreadsThatEndBeforeExitFlushOnTheirWayOut) {
    const std::string path = path_;
    const testing::ChildResult child = testing::run_in_child([&] {
        start_library(path);
        std::vector<std::thread> threads;
        for (uint32_t t = 0; t < kThreads; ++t)
            threads.emplace_back(emit_range, t, kRecordsPerThread);
        for (std::thread &thread : threads)
            thread.join();
        // Before sve_exit: only the threads' own exit can have written their last records.
        if (int failed = count_in_file_is(path, kAllRecords, 10)) return failed;
        sve_exit();
        return 0;
    });
    ASSERT_EQ(child.exit_code, 0);
    expect_complete_trace(child.pid);
}

TEST_F(TraceLibraryStressTest, ThreadsAliveAtExitAreFlushedByIt) {
    const std::string path = path_;
    const testing::ChildResult child = testing::run_in_child([&] {
        start_library(path);
        std::mutex mutex;
        std::condition_variable changed;
        uint32_t finished = 0;
        bool release = false;
        std::vector<std::thread> threads;
        for (uint32_t t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                emit_range(t, kRecordsPerThread);
                std::unique_lock<std::mutex> lock(mutex);
                ++finished;
                changed.notify_all();
                changed.wait(lock, [&] { return release; });
            });
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return finished == kThreads; });
        }
        sve_exit();
        int failed = count_in_file_is(path, kAllRecords, 10);
        {
            std::lock_guard<std::mutex> lock(mutex);
            release = true;
            changed.notify_all();
        }
        for (std::thread &thread : threads)
            thread.join();
        // The threads' exit must not write their records a second time.
        if (!failed) failed = count_in_file_is(path, kAllRecords, 11);
        return failed;
    });
    ASSERT_EQ(child.exit_code, 0);
    expect_complete_trace(child.pid);
}

TEST_F(TraceLibraryStressTest, ExitRacingWithWritersAndExitingThreadsKeepsTheFileWhole) {
    const std::string path = path_;
    constexpr uint64_t kShortRun = kRecordsPerThread / 50;
    const testing::ChildResult child = testing::run_in_child([&] {
        start_library(path);
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (uint32_t t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                while (!go.load())
                    std::this_thread::yield();
                // Half the threads end early, so that thread exits race with sve_exit too.
                emit_range(t, t % 2 ? kShortRun : kRecordsPerThread);
            });
        go.store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sve_exit();
        for (std::thread &thread : threads)
            thread.join();
        // Records after sve_exit are dropped: the file must not change any more.
        const size_t size_after_joins = testing::read_bytes(path).size();
        emit(0, 0);
        std::thread([] { emit(1, 0); }).join();
        sve_exit();
        return testing::read_bytes(path).size() == size_after_joins ? 0 : 12;
    });
    ASSERT_EQ(child.exit_code, 0);
    const TraceReadResult result = read_trace_file(path_);
    ASSERT_TRUE(result.ok()) << result.error;
    // Which records made it depends on timing; that every one is intact, unique and in order
    // per thread does not.
    const uint64_t counts_issued = kThreads / 2 * (kRecordsPerThread + kShortRun) + 2;
    const Census census = take_census(result.trace, counts_issued);
    EXPECT_EQ(census.problem, "");
    EXPECT_TRUE(padding_is_zero(path_, result.trace.header.header_size));
}

} // namespace
} // namespace ostrel::trace
