#include "tests/support/recording_trace.h"

#include <mutex>

#include "sve/trace/trace_support.h"

namespace {

std::mutex g_mutex;
std::vector<RecordedRef> g_records;
uint64_t g_next_count = 1;
uint64_t g_incr_calls = 0;

// Per thread: counts handed out since the thread's last record, and the last one.
thread_local unsigned t_pending_counts = 0;
thread_local uint64_t t_last_count = 0;

} // namespace

bool sve_init(void *, const char *) {
    return true;
}
void sve_exit() {}

uint64_t incr_count() {
    std::lock_guard<std::mutex> lock(g_mutex);
    ++g_incr_calls;
    ++t_pending_counts;
    // A stride of 3 keeps counts distinct from small values a faulty tracer might invent.
    t_last_count = g_next_count;
    g_next_count += 3;
    return t_last_count;
}

void trace_mem(sve_mem_ref_t const &ref) {
    std::lock_guard<std::mutex> lock(g_mutex);
    bool fresh = t_pending_counts == 1 && ref.count == t_last_count;
    g_records.push_back(RecordedRef{ref, &ref, pthread_self(), fresh});
    t_pending_counts = 0;
}

namespace recording_trace {

void reset() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_records.clear();
    g_next_count = 1;
    g_incr_calls = 0;
    t_pending_counts = 0;
}

std::vector<RecordedRef> records() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_records;
}

uint64_t incr_count_calls() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_incr_calls;
}

} // namespace recording_trace
