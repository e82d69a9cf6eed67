// The region-of-interest markers gate the records of the thread that executes them: a new thread
// starts with tracing off, and each thread's records carry its own tid and fresh counts.
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include "tests/support/recording_trace.h"

namespace {

using ostrel::handle_roi_marker;
using TraceThreads = RecordingTrace;

cpu_state g_cpu{};

// One fully active doubleword access at `base` and one gathered element at base + 0x1000.
void traced_accesses(uint64_t base) {
    std::vector<char> pred(ostrel::kMaxVectorBytes, 1);
    memtrace_lin<uint64_t, uint64_t>(&g_cpu, reinterpret_cast<uint64_t *>(base), pred.data(),
                                     MEMACCESS_READ);
    ostrel::ElementAddresses addrs;
    addrs.push_back(base + 0x1000);
    ostrel::emit_element_records(&g_cpu, MEMACCESS_READ, 8, addrs);
}

TEST_F(TraceThreads, MarkersSwitchOnlyForTheirImmediates) {
    struct Case {
        uint64_t immediate;
        bool initially_on, is_marker, finally_on;
    } cases[] = {
        {0x100, false, true, true},  {0x100, true, true, true},     {0x200, true, true, false},
        {0x200, false, true, false}, {0x1, false, false, false},    {0x2, true, false, true},
        {0x0, true, false, true},    {0x300, false, false, false},  {0x101, false, false, false},
        {0x201, true, false, true},  {0xff00, false, false, false},
    };
    for (const auto &c : cases) {
        recording_trace::reset();
        ostrel::set_thread_tracing(c.initially_on);
        EXPECT_EQ(handle_roi_marker(c.immediate), c.is_marker) << std::hex << c.immediate;
        EXPECT_EQ(enable_trace, c.finally_on) << std::hex << c.immediate;
        const auto recs = refs();
        ASSERT_EQ(recs.size(), c.is_marker ? 1u : 0u) << std::hex << c.immediate;
        if (c.is_marker) {
            EXPECT_EQ(recs[0].tid,
                      c.immediate == 0x100 ? ostrel::kTidStartMarker : ostrel::kTidStopMarker);
        }
        expect_one_count_per_record();
    }
}

TEST_F(TraceThreads, AccessesAreTracedOnlyBetweenStartAndStop) {
    traced_accesses(0x50000);
    handle_roi_marker(0x100);
    traced_accesses(0x60000);
    handle_roi_marker(0x200);
    traced_accesses(0x70000);
    const auto recs = refs();
    ASSERT_EQ(recs.size(), 4u);
    EXPECT_EQ(recs[0].tid, ostrel::kTidStartMarker);
    EXPECT_EQ(recs[1].addr, 0x60000u);
    EXPECT_EQ(recs[2].addr, 0x61000u);
    EXPECT_EQ(recs[3].tid, ostrel::kTidStopMarker);
    expect_one_count_per_record();
}

TEST_F(TraceThreads, AnotherThreadIsSilentUntilItsOwnStartMarker) {
    handle_roi_marker(0x100); // the main thread's switch must not reach the worker
    bool worker_started_on = true;
    pthread_t worker_thread{};
    std::thread([&] {
        worker_thread = pthread_self();
        worker_started_on = enable_trace;
        traced_accesses(0x70000);
        handle_roi_marker(0x100);
        traced_accesses(0x80000);
        handle_roi_marker(0x200); // must not switch the main thread off
    }).join();
    EXPECT_FALSE(worker_started_on);
    EXPECT_TRUE(enable_trace);
    traced_accesses(0x90000);

    const auto recs = recording_trace::records();
    const uint32_t worker_tid = static_cast<uint32_t>(worker_thread);
    const struct {
        uint32_t tid;
        uint64_t addr;
    } want[] = {{ostrel::kTidStartMarker, 0}, {ostrel::kTidStartMarker, 0}, {worker_tid, 0x80000},
                {worker_tid, 0x81000},        {ostrel::kTidStopMarker, 0},  {this_tid(), 0x90000},
                {this_tid(), 0x91000}};
    ASSERT_EQ(recs.size(), std::size(want));
    for (size_t i = 0; i < recs.size(); ++i) {
        EXPECT_EQ(recs[i].ref.tid, want[i].tid) << i;
        EXPECT_EQ(recs[i].ref.addr, want[i].addr) << i;
        EXPECT_EQ(pthread_equal(recs[i].thread, worker_thread) != 0, i >= 1 && i <= 4) << i;
    }
    expect_one_count_per_record();
}

TEST_F(TraceThreads, ConcurrentThreadsGetFreshCountsAndTheirOwnTid) {
    constexpr unsigned kThreads = 4, kRounds = 200;
    std::vector<std::thread> threads;
    std::vector<pthread_t> ids(kThreads);
    for (unsigned t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ids[t] = pthread_self();
            handle_roi_marker(0x100);
            for (unsigned r = 0; r < kRounds; ++r)
                traced_accesses(0x100000 * (t + 1));
            handle_roi_marker(0x200);
        });
    for (auto &th : threads)
        th.join();

    const auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), kThreads * (2 * kRounds + 2));
    std::set<uint64_t> counts;
    for (const RecordedRef &r : recs) {
        counts.insert(r.ref.count);
        if (r.ref.tid == ostrel::kTidStartMarker || r.ref.tid == ostrel::kTidStopMarker) continue;
        const uint64_t t = r.ref.addr / 0x100000 - 1;
        ASSERT_LT(t, kThreads);
        EXPECT_EQ(r.ref.tid, static_cast<uint32_t>(ids[t]));
    }
    EXPECT_EQ(counts.size(), recs.size());
    expect_one_count_per_record();
}

} // namespace
