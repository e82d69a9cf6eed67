// Tracing state belongs to the thread that executed the marker.
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

#include "tests/trace/trace_fixture.h"

namespace {

using TraceThreadTest = TraceTest;
using ostrel::handle_roi_marker;

// One fully active doubleword access plus one gathered element.
void traced_accesses(cpu_state *cpu, uint64_t base) {
    std::vector<char> pred(192, 1);
    memtrace_lin<uint64_t, uint64_t>(cpu, reinterpret_cast<uint64_t *>(base), pred.data(),
                                     MEMACCESS_READ);
    ostrel::ElementAddresses addrs;
    addrs.push_back(base + 0x1000);
    ostrel::emit_element_records(cpu, MEMACCESS_READ, 8, addrs);
}

TEST_F(TraceThreadTest, NewThreadStartsWithTracingOffAndZeroedMarkerRecord) {
    handle_roi_marker(0x100); // the main thread switches on; the new thread must not inherit it
    bool other_enabled = true;
    sve_mem_ref_t other_roi;
    std::thread([&] {
        other_enabled = enable_trace;
        other_roi = trace_roi;
    }).join();
    EXPECT_FALSE(other_enabled);
    EXPECT_EQ(other_roi.count, 0u);
    EXPECT_EQ(other_roi.tid, 0u);
    EXPECT_NE(trace_roi.tid, 0u);
}

TEST_F(TraceThreadTest, OtherThreadIsSilentUntilItsOwnStartMarker) {
    handle_roi_marker(0x100);
    const size_t after_main_start = recording_trace::records().size();

    pthread_t worker_thread{};
    size_t before_worker_start = 0;
    std::thread worker([&] {
        worker_thread = pthread_self();
        traced_accesses(cpu.get(), 0x70000);
        before_worker_start = recording_trace::records().size();
        handle_roi_marker(0x100);
        traced_accesses(cpu.get(), 0x80000);
        handle_roi_marker(0x200); // must not switch the main thread off
    });
    worker.join();
    EXPECT_EQ(before_worker_start, after_main_start);

    auto recs = recording_trace::records();
    // Main start, then the worker's start, two access records and stop.
    ASSERT_EQ(recs.size(), 5u);
    for (size_t i = 1; i < recs.size(); ++i)
        EXPECT_TRUE(pthread_equal(recs[i].thread, worker_thread)) << "record " << i;
    EXPECT_EQ(recs[1].ref.tid, ostrel::kTidStartMarker);
    EXPECT_EQ(recs[2].ref.addr, 0x80000u);
    EXPECT_EQ(recs[3].ref.addr, 0x81000u);
    const uint32_t worker_tid = static_cast<uint32_t>(worker_thread);
    EXPECT_EQ(recs[2].ref.tid, worker_tid);
    EXPECT_EQ(recs[3].ref.tid, worker_tid);
    EXPECT_EQ(recs[4].ref.tid, ostrel::kTidStopMarker);

    EXPECT_TRUE(enable_trace);
    traced_accesses(cpu.get(), 0x90000);
    recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 7u);
    EXPECT_EQ(recs[5].ref.addr, 0x90000u);
    EXPECT_EQ(recs[5].ref.tid, low_tid());
    expect_one_count_per_record();
}

TEST_F(TraceThreadTest, ConcurrentThreadsEachGetFreshCountsAndTheirOwnTid) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 200;
    std::vector<std::thread> threads;
    std::vector<pthread_t> ids(kThreads);
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ids[t] = pthread_self();
            handle_roi_marker(0x100);
            for (int r = 0; r < kRounds; ++r)
                traced_accesses(cpu.get(), 0x100000 * (t + 1));
            handle_roi_marker(0x200);
        });
    for (auto &th : threads)
        th.join();

    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), size_t{kThreads} * (2 * kRounds + 2));
    std::set<uint64_t> counts;
    for (const auto &r : recs) {
        counts.insert(r.ref.count);
        if (r.ref.tid == ostrel::kTidStartMarker || r.ref.tid == ostrel::kTidStopMarker) continue;
        int t = static_cast<int>(r.ref.addr / 0x100000) - 1;
        ASSERT_GE(t, 0);
        ASSERT_LT(t, kThreads);
        EXPECT_TRUE(pthread_equal(r.thread, ids[t]));
        EXPECT_EQ(r.ref.tid, static_cast<uint32_t>(ids[t]));
    }
    EXPECT_EQ(counts.size(), recs.size());
    expect_one_count_per_record();
}

} // namespace
