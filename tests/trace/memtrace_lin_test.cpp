// Coalesced records of contiguous accesses.
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "tests/trace/trace_fixture.h"

namespace {

struct Extent {
    uint64_t addr, size;
    bool operator==(const Extent &o) const { return addr == o.addr && size == o.size; }
};
std::ostream &operator<<(std::ostream &os, const Extent &e) {
    return os << std::hex << "{0x" << e.addr << ", " << std::dec << e.size << "}";
}

std::vector<Extent> recorded_extents() {
    std::vector<Extent> out;
    for (const auto &r : recording_trace::records())
        out.push_back({r.ref.addr, r.ref.size});
    return out;
}

// A predicate with byte i*stride of each listed element set; all other bytes clear.
std::vector<char> predicate_for(unsigned stride, std::initializer_list<unsigned> active) {
    std::vector<char> p(192, 0);
    for (unsigned i : active)
        p[i * stride] = 1;
    return p;
}

// Reference: mark each byte the active elements cover, then read off maximal covered spans.
// Adjacent elements abut in memory, so a span is exactly a run of active elements.
std::vector<Extent> reference_extents(uint64_t base, unsigned mem_size, unsigned reg_size,
                                      const std::vector<char> &pred) {
    const unsigned elements = 192 / reg_size;
    std::vector<bool> covered(elements * mem_size, false);
    for (unsigned e = 0; e < elements; ++e)
        if (pred[e * reg_size] & 1)
            for (unsigned b = 0; b < mem_size; ++b)
                covered[e * mem_size + b] = true;
    std::vector<Extent> out;
    for (size_t b = 0; b < covered.size();) {
        if (!covered[b]) {
            ++b;
            continue;
        }
        size_t end = b;
        while (end < covered.size() && covered[end])
            ++end;
        out.push_back({base + b, end - b});
        b = end;
    }
    return out;
}

const uint64_t kBase = 0x7ffc1000;

// --- Cases from the contract ----------------------------------------------------------------

using MemtraceLinTest = TraceTest;

TEST_F(MemtraceLinTest, NoActiveElementMakesNoCall) {
    enable_trace = true;
    std::vector<char> pred(192, 0);
    // Bits other than bit 0 do not make an element active.
    for (unsigned b = 0; b < 192; ++b)
        pred[b] = static_cast<char>(0xfe);
    memtrace_lin<uint32_t, uint32_t>(cpu.get(), reinterpret_cast<uint32_t *>(kBase), pred.data(),
                                     MEMACCESS_READ);
    EXPECT_TRUE(recording_trace::records().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

TEST_F(MemtraceLinTest, TracingOffMakesNoCallEvenWhenAllActive) {
    std::vector<char> pred(192, 1);
    memtrace_lin<uint8_t, uint8_t>(cpu.get(), reinterpret_cast<uint8_t *>(kBase), pred.data(),
                                   MEMACCESS_WRITE);
    EXPECT_TRUE(recording_trace::records().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

TEST_F(MemtraceLinTest, ByteLoadIntoDoublewordsAllActiveIsOneRecord) {
    enable_trace = true;
    std::vector<char> pred(192, 0);
    for (unsigned i = 0; i < 24; ++i)
        pred[i * 8] = 1;
    memtrace_lin<uint8_t, uint64_t>(cpu.get(), reinterpret_cast<uint8_t *>(kBase), pred.data(),
                                    MEMACCESS_READ);
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 1u);
    const sve_mem_ref_t &r = recs[0].ref;
    EXPECT_EQ(r.addr, kBase);
    EXPECT_EQ(r.size, 24u);
    EXPECT_EQ(r.type, MEMACCESS_READ);
    EXPECT_EQ(r.seq_flags, 0u);
    EXPECT_EQ(r.tid, low_tid());
    EXPECT_EQ(r.pc, kPc);
    expect_one_count_per_record();
}

TEST_F(MemtraceLinTest, WordLoadWithTwoRunsGivesTwoRecordsInOrder) {
    enable_trace = true;
    auto pred = predicate_for(4, {0, 1, 2, 5});
    memtrace_lin<uint32_t, uint32_t>(cpu.get(), reinterpret_cast<uint32_t *>(kBase), pred.data(),
                                     MEMACCESS_READ);
    std::vector<Extent> expected{{kBase, 12}, {kBase + 20, 4}};
    EXPECT_EQ(recorded_extents(), expected);
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_LT(recs[0].ref.count, recs[1].ref.count);
    expect_one_count_per_record();
}

TEST_F(MemtraceLinTest, StoreRecordsCarryWriteTypeAndPc) {
    enable_trace = true;
    cpu->pc = reinterpret_cast<unsigned char *>(uintptr_t{0xffff80001234});
    auto pred = predicate_for(2, {3, 95});
    memtrace_lin<uint16_t, uint16_t>(cpu.get(), reinterpret_cast<uint16_t *>(kBase), pred.data(),
                                     MEMACCESS_WRITE);
    auto recs = recording_trace::records();
    ASSERT_EQ(recs.size(), 2u);
    for (const auto &r : recs) {
        EXPECT_EQ(r.ref.type, MEMACCESS_WRITE);
        EXPECT_EQ(r.ref.pc, 0xffff80001234u);
        EXPECT_EQ(r.ref.seq_flags, 0u);
        EXPECT_EQ(r.ref.tid, low_tid());
    }
    expect_one_count_per_record();
}

// Runs touching either end, single elements, and predicate bytes between element positions
// (which belong to no element and must be ignored).
struct RunCase {
    const char *name;
    std::vector<unsigned> active; // element indices, word elements (48 of them)
    std::vector<unsigned> noise;  // predicate bytes set that are not element positions
    std::vector<Extent> expected; // relative to base, in bytes, for 4-byte memory elements
};

std::ostream &operator<<(std::ostream &os, const RunCase &c) {
    return os << c.name;
}

class MemtraceLinRunTest : public TraceTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(MemtraceLinRunTest, EmitsExpectedRuns) {
    enable_trace = true;
    const RunCase &c = GetParam();
    std::vector<char> pred(192, 0);
    for (unsigned i : c.active)
        pred[i * 4] = 1;
    for (unsigned b : c.noise)
        pred[b] = 1;
    memtrace_lin<int32_t, int32_t>(cpu.get(), reinterpret_cast<int32_t *>(kBase), pred.data(),
                                   MEMACCESS_READ);
    std::vector<Extent> expected;
    for (const Extent &e : c.expected)
        expected.push_back({kBase + e.addr, e.size});
    EXPECT_EQ(recorded_extents(), expected);
    expect_one_count_per_record();
}

std::vector<unsigned> all_but(unsigned skip) {
    std::vector<unsigned> v;
    for (unsigned i = 0; i < 48; ++i)
        if (i != skip) v.push_back(i);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, MemtraceLinRunTest,
    ::testing::Values(
        RunCase{"first_only", {0}, {}, {{0, 4}}}, RunCase{"last_only", {47}, {}, {{188, 4}}},
        RunCase{"first_and_last", {0, 47}, {}, {{0, 4}, {188, 4}}},
        RunCase{"open_run_at_end", {44, 45, 46, 47}, {}, {{176, 16}}},
        RunCase{"all_but_first", all_but(0), {}, {{4, 188}}},
        RunCase{"all_but_last", all_but(47), {}, {{0, 188}}},
        RunCase{"all_but_middle", all_but(20), {}, {{0, 80}, {84, 108}}},
        RunCase{"alternating_start", {0, 2, 4}, {}, {{0, 4}, {8, 4}, {16, 4}}},
        RunCase{"bytes_between_elements_ignored", {1, 2}, {1, 2, 3, 13, 14, 15, 191}, {{4, 8}}}),
    [](const ::testing::TestParamInfo<RunCase> &info) { return std::string(info.param.name); });

// --- Every (memory element, register element) instance against the reference -----------------

template <typename T, typename U> struct Sizes {
    using Mem = T;
    using Reg = U;
};

template <typename P> class MemtraceLinInstanceTest : public TraceTest {};

// Signed and unsigned types mixed: signedness plays no part.
using Instances =
    ::testing::Types<Sizes<uint8_t, uint8_t>, Sizes<int8_t, uint16_t>, Sizes<uint8_t, int32_t>,
                     Sizes<int8_t, uint64_t>, Sizes<uint16_t, uint16_t>, Sizes<int16_t, uint32_t>,
                     Sizes<uint16_t, int64_t>, Sizes<float, float>, Sizes<int32_t, double>,
                     Sizes<double, uint64_t>>;
TYPED_TEST_SUITE(MemtraceLinInstanceTest, Instances);

TYPED_TEST(MemtraceLinInstanceTest, RandomPredicatesMatchReferenceWalk) {
    using T = typename TypeParam::Mem;
    using U = typename TypeParam::Reg;
    enable_trace = true;
    std::mt19937_64 rng(0x5eed + sizeof(T) * 16 + sizeof(U));
    std::uniform_int_distribution<int> byte(0, 255);
    const double densities[] = {0.05, 0.3, 0.5, 0.8, 0.97};
    for (double density : densities) {
        std::bernoulli_distribution on(density);
        for (int trial = 0; trial < 40; ++trial) {
            std::vector<char> pred(192);
            // Random upper bits everywhere; bit 0 at random with the chosen density.
            for (auto &b : pred)
                b = static_cast<char>((byte(rng) & ~1) | (on(rng) ? 1 : 0));
            const uint64_t base = 0x10000 + (rng() & 0xffff0) + sizeof(T) * (trial % 3);

            recording_trace::reset();
            memtrace_lin<T, U>(this->cpu.get(), reinterpret_cast<T *>(base), pred.data(),
                               MEMACCESS_READ);
            ASSERT_EQ(recorded_extents(), reference_extents(base, sizeof(T), sizeof(U), pred))
                << "density " << density << " trial " << trial;
            this->expect_one_count_per_record();
        }
    }
}

TYPED_TEST(MemtraceLinInstanceTest, AllActiveIsOneRecordOfWholeAccess) {
    using T = typename TypeParam::Mem;
    using U = typename TypeParam::Reg;
    enable_trace = true;
    std::vector<char> pred(192, 0);
    for (unsigned i = 0; i < 192 / sizeof(U); ++i)
        pred[i * sizeof(U)] = 1;
    memtrace_lin<T, U>(this->cpu.get(), reinterpret_cast<T *>(kBase), pred.data(), MEMACCESS_WRITE);
    std::vector<Extent> expected{{kBase, 192 / sizeof(U) * sizeof(T)}};
    EXPECT_EQ(recorded_extents(), expected);
}

TYPED_TEST(MemtraceLinInstanceTest, NoActiveElementMakesNoCall) {
    using T = typename TypeParam::Mem;
    using U = typename TypeParam::Reg;
    enable_trace = true;
    // Only bytes that are not element positions are set (none exist for byte elements).
    std::vector<char> pred(192, 0);
    for (unsigned b = 0; b < 192; ++b)
        if (b % sizeof(U) != 0) pred[b] = 1;
    memtrace_lin<T, U>(this->cpu.get(), reinterpret_cast<T *>(kBase), pred.data(), MEMACCESS_READ);
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
    EXPECT_TRUE(recording_trace::records().empty());
}

} // namespace
