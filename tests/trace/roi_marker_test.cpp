// Region-of-interest markers and how they gate the other records.
#include <cstdint>
#include <vector>

#include "tests/trace/trace_fixture.h"

namespace {

using RoiMarkerTest = TraceTest;
using ostrel::handle_roi_marker;

void expect_marker_record(const RecordedRef &rec, uint32_t kind) {
    EXPECT_EQ(rec.passed, &trace_roi) << "marker records are handed over through trace_roi";
    EXPECT_EQ(rec.ref.tid, kind);
    EXPECT_EQ(rec.ref.seq_flags, 0u);
    EXPECT_EQ(rec.ref.type, MEMACCESS_WRITE);
    EXPECT_EQ(rec.ref.size, 0u);
    EXPECT_EQ(rec.ref.addr, 0u);
    EXPECT_EQ(rec.ref.pc, 0u);
    EXPECT_TRUE(rec.count_fresh);
}

struct MarkerCase {
    uint64_t immediate;
    bool initially_on;
    bool is_marker;
    bool finally_on;
};

std::ostream &operator<<(std::ostream &os, const MarkerCase &c) {
    return os << "imm 0x" << std::hex << c.immediate
              << (c.initially_on ? " while on" : " while off");
}

class RoiMarkerCaseTest : public TraceTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(RoiMarkerCaseTest, SwitchesTracingAndEmitsOnlyForMarkers) {
    const MarkerCase &c = GetParam();
    enable_trace = c.initially_on;
    EXPECT_EQ(handle_roi_marker(c.immediate), c.is_marker);
    EXPECT_EQ(enable_trace, c.finally_on);
    auto recs = recording_trace::records();
    if (!c.is_marker) {
        EXPECT_TRUE(recs.empty());
        EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
        return;
    }
    ASSERT_EQ(recs.size(), 1u);
    expect_marker_record(recs[0],
                         c.immediate == 0x100 ? ostrel::kTidStartMarker : ostrel::kTidStopMarker);
    EXPECT_EQ(recording_trace::incr_count_calls(), 1u);
    EXPECT_EQ(trace_roi.count, recs[0].ref.count);
}

INSTANTIATE_TEST_SUITE_P(
    Immediates, RoiMarkerCaseTest,
    ::testing::Values(
        // Start and stop emit whatever the previous state, including stop while already off.
        MarkerCase{0x100, false, true, true}, MarkerCase{0x100, true, true, true},
        MarkerCase{0x200, true, true, false}, MarkerCase{0x200, false, true, false},
        // Unshifted 1 and 2, other shifted values and near misses are plain additions.
        MarkerCase{0x1, false, false, false}, MarkerCase{0x2, true, false, true},
        MarkerCase{0x0, true, false, true}, MarkerCase{0x300, false, false, false},
        MarkerCase{0x300, true, false, true}, MarkerCase{0x101, false, false, false},
        MarkerCase{0x201, true, false, true}, MarkerCase{0xff00, false, false, false}));

TEST_F(RoiMarkerTest, RepeatedMarkersEachEmitInOrder) {
    const uint64_t sequence[] = {0x100, 0x100, 0x200, 0x200, 0x100};
    const uint32_t kinds[] = {ostrel::kTidStartMarker, ostrel::kTidStartMarker,
                              ostrel::kTidStopMarker, ostrel::kTidStopMarker,
                              ostrel::kTidStartMarker};
    for (uint64_t imm : sequence)
        EXPECT_TRUE(handle_roi_marker(imm));
    EXPECT_TRUE(enable_trace);
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 5u);
    for (size_t i = 0; i < recs.size(); ++i) {
        expect_marker_record(recs[i], kinds[i]);
        if (i > 0) {
            EXPECT_LT(recs[i - 1].ref.count, recs[i].ref.count);
        }
    }
    expect_one_count_per_record();
}

TEST_F(RoiMarkerTest, AccessesAreTracedOnlyBetweenStartAndStop) {
    std::vector<char> pred(192, 1);
    auto *base = reinterpret_cast<uint64_t *>(uintptr_t{0x50000});
    ostrel::ElementAddresses gathered;
    gathered.push_back(0x60000);

    auto access = [&] {
        memtrace_lin<uint64_t, uint64_t>(cpu.get(), base, pred.data(), MEMACCESS_READ);
        ostrel::emit_element_records(cpu.get(), MEMACCESS_WRITE, 8, gathered);
    };
    access(); // before any marker
    handle_roi_marker(0x100);
    access();
    handle_roi_marker(0x200);
    access();

    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 4u);
    EXPECT_EQ(recs[0].ref.tid, ostrel::kTidStartMarker);
    EXPECT_EQ(recs[1].ref.addr, 0x50000u);
    EXPECT_EQ(recs[1].ref.size, 192u);
    EXPECT_EQ(recs[1].ref.seq_flags, 0u);
    EXPECT_EQ(recs[2].ref.addr, 0x60000u);
    EXPECT_EQ(recs[2].ref.seq_flags, 7u);
    EXPECT_EQ(recs[3].ref.tid, ostrel::kTidStopMarker);
    expect_one_count_per_record();
}

} // namespace
