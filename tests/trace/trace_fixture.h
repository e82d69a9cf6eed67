// Common set-up: the main thread's tracing state and the recorder start clean for every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "sve/trace/memtrace.h"
#include "tests/trace/recording_trace.h"

class TraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        recording_trace::reset();
        enable_trace = false;
        trace_roi = sve_mem_ref_t{};
        cpu = std::make_unique<cpu_state>();
        cpu->pc = reinterpret_cast<unsigned char *>(uintptr_t{0x400a3c});
    }

    // Every record carried a count from its own incr_count(), and no count went unused.
    void expect_one_count_per_record() {
        auto recs = recording_trace::records();
        EXPECT_EQ(recording_trace::incr_count_calls(), recs.size());
        for (size_t i = 0; i < recs.size(); ++i)
            EXPECT_TRUE(recs[i].count_fresh) << "record " << i;
    }

    static constexpr uint64_t kPc = 0x400a3c;
    std::unique_ptr<cpu_state> cpu;
};

inline uint32_t low_tid() {
    return static_cast<uint32_t>(pthread_self());
}
