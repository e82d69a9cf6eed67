// Trace records of emulated loads and stores, seen through a recording stand-in for the
// trace-support library: contiguous accesses give one record per run of active elements, the
// replicating loads and the register fill and spill give none.
#include "tests/memory/memory_fixture.h"
#include "tests/trace/recording_trace.h"

#include "sve/trace/memtrace.h"

namespace memory_test {
namespace {

class ContiguousTrace : public ::testing::Test {
  protected:
    void SetUp() override {
        recording_trace::reset();
        enable_trace = true;
        rng.seed(61);
        mem.fill_random(rng);
        s = random_state(rng, kPc);
        s->x[1] = mem.middle();
    }
    void TearDown() override { enable_trace = false; }

    std::vector<sve_mem_ref_t> records() const {
        std::vector<sve_mem_ref_t> out;
        for (const RecordedRef &r : recording_trace::records())
            out.push_back(r.ref);
        return out;
    }

    void expect_record(const sve_mem_ref_t &ref, memaccess_type_t type, uint64_t addr,
                       uint64_t size, const char *what) {
        EXPECT_EQ(ref.type, type) << what;
        EXPECT_EQ(ref.addr, addr) << what;
        EXPECT_EQ(ref.size, size) << what;
        EXPECT_EQ(ref.pc, kPc) << what;
        EXPECT_EQ(ref.seq_flags, 0u) << what;
        EXPECT_EQ(ref.tid, static_cast<uint32_t>(pthread_self())) << what;
    }

    std::mt19937_64 rng;
    GuestBuffer mem{8192};
    std::unique_ptr<cpu_state> s;
};

// All elements active: one record covering the whole access, for every form and both
// addressing forms; the type says load (1) or store (0).
TEST_F(ContiguousTrace, AllActiveGivesOneCoalescedRecord) {
    std::memset(s->p[0], 1, kBytes);
    s->x[2] = 5;
    for (bool store : {false, true}) {
        for (const ContiguousForm &f : store ? contiguous_stores() : contiguous_loads()) {
            const uint64_t bytes = kBytes / f.esize * f.msize;
            const memaccess_type_t type = store ? MEMACCESS_WRITE : MEMACCESS_READ;
            recording_trace::reset();
            ASSERT_EQ(emulate(*s, with_imm(f, 3, 0, 1, -2)), DECODE_OK);
            auto recs = records();
            ASSERT_EQ(recs.size(), 1u) << f.name;
            expect_record(recs[0], type, mem.middle() - 2 * bytes, bytes, f.name);

            recording_trace::reset();
            ASSERT_EQ(emulate(*s, with_index(f, 3, 0, 1, 2)), DECODE_OK);
            recs = records();
            ASSERT_EQ(recs.size(), 1u) << f.name;
            expect_record(recs[0], type, mem.middle() + 5 * f.msize, bytes, f.name);
            EXPECT_EQ(recording_trace::incr_count_calls(), 1u) << f.name;
        }
    }
}

// LD1W with elements 0..2 and 5 active: 12 bytes at the base, then 4 bytes at base + 20.
TEST_F(ContiguousTrace, RunsOfActiveElementsInAscendingOrder) {
    std::memset(s->p[2], 0, kBytes);
    for (unsigned i : {0u, 1u, 2u, 5u})
        s->p[2][4 * i] = 1;
    ASSERT_EQ(emulate(*s, with_imm(contiguous_loads()[12], 0, 2, 1, 0)), DECODE_OK);
    const auto recs = records();
    ASSERT_EQ(recs.size(), 2u);
    expect_record(recs[0], MEMACCESS_READ, mem.middle(), 12, "first run");
    expect_record(recs[1], MEMACCESS_READ, mem.middle() + 20, 4, "second run");
    EXPECT_LT(recs[0].count, recs[1].count);
}

// A store of halfwords from doublewords (ST1H .D): runs measured in memory bytes, the last run
// ending at the last element.
TEST_F(ContiguousTrace, StoreRunsCountMemoryElements) {
    std::memset(s->p[3], 0, kBytes);
    for (unsigned i : {3u, 4u, 22u, 23u})
        s->p[3][8 * i] = 1;
    ASSERT_EQ(emulate(*s, with_imm(contiguous_stores()[6], 0, 3, 1, 1)), DECODE_OK);
    const auto recs = records();
    ASSERT_EQ(recs.size(), 2u);
    const uint64_t start = mem.middle() + 48; // one access of 24 halfwords further on
    expect_record(recs[0], MEMACCESS_WRITE, start + 6, 4, "first run");
    expect_record(recs[1], MEMACCESS_WRITE, start + 44, 4, "last run");
}

TEST_F(ContiguousTrace, NoRecordWithoutActiveElements) {
    std::memset(s->p[4], 0, kBytes);
    ASSERT_EQ(emulate(*s, with_imm(contiguous_loads()[0], 0, 4, 1, 0)), DECODE_OK);
    ASSERT_EQ(emulate(*s, with_imm(contiguous_stores()[0], 0, 4, 1, 0)), DECODE_OK);
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

TEST_F(ContiguousTrace, NoRecordWhileTracingIsOff) {
    enable_trace = false;
    std::memset(s->p[0], 1, kBytes);
    s->x[2] = 0;
    for (const ContiguousForm &f : contiguous_loads())
        ASSERT_EQ(emulate(*s, with_index(f, 3, 0, 1, 2)), DECODE_OK);
    for (const ContiguousForm &f : contiguous_stores())
        ASSERT_EQ(emulate(*s, with_index(f, 3, 0, 1, 2)), DECODE_OK);
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

// Replicating loads, quadword replicating loads, whole-register fill and spill and prefetches
// are not traced.
TEST_F(ContiguousTrace, ReplicatingLoadsAndFillSpillAreNotTraced) {
    std::memset(s->p[0], 1, kBytes);
    const uint32_t untraced[] = {
        0x84408000 | 1u << 5,             // ld1rb {z0.b}, p0/z, [x1]
        0x85c0e000 | 1u << 5,             // ld1rd {z0.d}, p0/z, [x1]
        0xa4002000 | 1u << 5,             // ld1rqb {z0.b}, p0/z, [x1]
        0xa5800000 | 1u << 5 | 31u << 16, // ld1rqd {z0.d}, p0/z, [x1, xzr, lsl #3]
        0x85804000 | 1u << 5,             // ldr z0, [x1]
        0xe5804000 | 1u << 5,             // str z0, [x1]
        0x85800000 | 1u << 5,             // ldr p0, [x1]
        0xe5800000 | 1u << 5,             // str p0, [x1]
        0x85c00020,                       // prfb pldl1keep, p0, [x1]
        0x8582c020,                       // prfd pldl1keep, p0, [x1, x2, lsl #3]
    };
    for (uint32_t e : untraced)
        ASSERT_EQ(emulate(*s, e), DECODE_OK) << std::hex << e;
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

} // namespace
} // namespace memory_test
