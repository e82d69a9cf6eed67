// Element-wise records of gathers, scatters and structure accesses.
#include <cstdint>
#include <vector>

#include "tests/trace/trace_fixture.h"

namespace {

using ElementTraceTest = TraceTest;
using ostrel::ElementAddresses;
using ostrel::emit_element_records;

struct SequenceCase {
    unsigned count;
    std::vector<uint32_t> flags;
};

std::ostream &operator<<(std::ostream &os, const SequenceCase &c) {
    return os << c.count << " elements";
}

class ElementSequenceTest : public TraceTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(ElementSequenceTest, FlagsMarkFirstAndLast) {
    enable_trace = true;
    ElementAddresses addrs;
    for (unsigned i = 0; i < GetParam().count; ++i)
        addrs.push_back(0x8000 + 0x40 * i);
    emit_element_records(cpu.get(), MEMACCESS_READ, 4, addrs);
    std::vector<uint32_t> flags;
    for (const auto &r : recording_trace::records())
        flags.push_back(r.ref.seq_flags);
    EXPECT_EQ(flags, GetParam().flags);
    expect_one_count_per_record();
}

INSTANTIATE_TEST_SUITE_P(Lengths, ElementSequenceTest,
                         ::testing::Values(SequenceCase{1, {7}}, SequenceCase{2, {3, 6}},
                                           SequenceCase{3, {3, 2, 6}},
                                           SequenceCase{5, {3, 2, 2, 2, 6}}));

TEST_F(ElementTraceTest, SingleActiveGatherElementIsOneRecordWithFlags7) {
    enable_trace = true;
    ElementAddresses addrs;
    addrs.push_back(0xdead0);
    emit_element_records(cpu.get(), MEMACCESS_READ, 8, addrs);
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 1u);
    const sve_mem_ref_t &r = recs[0].ref;
    EXPECT_EQ(r.seq_flags, 7u);
    EXPECT_EQ(r.addr, 0xdead0u);
    EXPECT_EQ(r.size, 8u);
    EXPECT_EQ(r.type, MEMACCESS_READ);
    EXPECT_EQ(r.tid, low_tid());
    EXPECT_EQ(r.pc, kPc);
    expect_one_count_per_record();
}

TEST_F(ElementTraceTest, RecordsFollowElementOrderNotAddressOrder) {
    enable_trace = true;
    // A scatter whose offsets run backwards and repeat: records keep element order.
    const std::vector<uint64_t> addrs{0x9000, 0x8ff8, 0x9000, 0x1000};
    emit_element_records(cpu.get(), MEMACCESS_WRITE, 2, addrs.data(), addrs.size());
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), addrs.size());
    for (size_t i = 0; i < recs.size(); ++i) {
        EXPECT_EQ(recs[i].ref.addr, addrs[i]);
        EXPECT_EQ(recs[i].ref.size, 2u);
        EXPECT_EQ(recs[i].ref.type, MEMACCESS_WRITE);
        EXPECT_EQ(recs[i].ref.pc, kPc);
        EXPECT_EQ(recs[i].ref.tid, low_tid());
        if (i > 0) {
            EXPECT_LT(recs[i - 1].ref.count, recs[i].ref.count);
        }
    }
    expect_one_count_per_record();
}

TEST_F(ElementTraceTest, NothingWhenTracingOff) {
    ElementAddresses addrs;
    addrs.push_back(0x1000);
    addrs.push_back(0x2000);
    emit_element_records(cpu.get(), MEMACCESS_READ, 4, addrs);
    EXPECT_TRUE(recording_trace::records().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

TEST_F(ElementTraceTest, NothingWhenNoElementActive) {
    enable_trace = true;
    ElementAddresses addrs;
    emit_element_records(cpu.get(), MEMACCESS_READ, 4, addrs);
    EXPECT_TRUE(recording_trace::records().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

TEST_F(ElementTraceTest, WorstCaseStructureAccessFitsAndIsOneSequence) {
    enable_trace = true;
    // ST4B with every byte element active: 4 x 192 elements, interleaved in memory.
    auto addrs = std::make_unique<ElementAddresses>();
    for (unsigned e = 0; e < 192; ++e)
        for (unsigned reg = 0; reg < 4; ++reg)
            addrs->push_back(0x20000 + 4 * e + reg);
    ASSERT_EQ(addrs->size(), 4u * 192);
    emit_element_records(cpu.get(), MEMACCESS_WRITE, 1, *addrs);
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 768u);
    for (size_t i = 0; i < recs.size(); ++i) {
        uint32_t want = i == 0 ? 3 : i == recs.size() - 1 ? 6 : 2;
        ASSERT_EQ(recs[i].ref.seq_flags, want) << "record " << i;
        ASSERT_EQ(recs[i].ref.addr, 0x20000 + i) << "record " << i;
        ASSERT_EQ(recs[i].ref.size, 1u);
    }
    expect_one_count_per_record();
}

TEST_F(ElementTraceTest, ClearedListStartsANewInstruction) {
    enable_trace = true;
    ElementAddresses addrs;
    addrs.push_back(0x10);
    addrs.push_back(0x20);
    emit_element_records(cpu.get(), MEMACCESS_READ, 4, addrs);
    addrs.clear();
    addrs.push_back(0x30);
    emit_element_records(cpu.get(), MEMACCESS_READ, 4, addrs);
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[2].ref.addr, 0x30u);
    EXPECT_EQ(recs[2].ref.seq_flags, 7u);
}

} // namespace
