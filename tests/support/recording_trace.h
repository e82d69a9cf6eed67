// A recording stand-in for the trace-support library: keeps every record, hands out a running
// count, and notes whether each record was preceded by exactly one incr_count() on its thread
// whose value it carries. Tests that link it get it in place of the real library.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstdint>
#include <vector>

#include "sve/trace/memtrace.h"

struct RecordedRef {
    sve_mem_ref_t ref;
    const sve_mem_ref_t *passed; // the address trace_mem() was given
    pthread_t thread;            // the thread that called trace_mem()
    bool count_fresh;            // one incr_count() since the thread's last record, value matches
};

namespace recording_trace {
// Clears the records and restarts the count; call while no other thread is tracing.
void reset();
std::vector<RecordedRef> records();
uint64_t incr_count_calls();
} // namespace recording_trace

// The fixture of every test that looks at trace records: the recorder and the main thread's
// tracing state start clean, and tracing is off again afterwards.
class RecordingTrace : public ::testing::Test {
  protected:
    void SetUp() override {
        recording_trace::reset();
        ostrel::set_thread_tracing(false);
        trace_roi = sve_mem_ref_t{};
    }
    void TearDown() override { ostrel::set_thread_tracing(false); }

    static std::vector<sve_mem_ref_t> refs() {
        std::vector<sve_mem_ref_t> out;
        for (const RecordedRef &r : recording_trace::records())
            out.push_back(r.ref);
        return out;
    }
    // Every record carried a count from its own incr_count(), and no count went unused.
    static void expect_one_count_per_record() {
        const auto recs = recording_trace::records();
        EXPECT_EQ(recording_trace::incr_count_calls(), recs.size());
        for (size_t i = 0; i < recs.size(); ++i)
            EXPECT_TRUE(recs[i].count_fresh) << "record " << i;
    }
    static uint32_t this_tid() { return static_cast<uint32_t>(pthread_self()); }
};
