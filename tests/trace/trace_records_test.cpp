// Trace records: the contiguous tracer's coalesced runs, the element-wise records and their
// sequence flags, and the records the contiguous load and store executors leave.
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/guest_memory.h"
#include "tests/support/recording_trace.h"
#include "tests/support/register_file.h"
#include "tests/support/vector_length_scope.h"

using namespace ostrel::testing;

namespace {

constexpr uint64_t kPc = 0x400a3c;
constexpr uint64_t kBase = 0x7ffc1000;

struct Extent {
    uint64_t addr, size;
    bool operator==(const Extent &o) const { return addr == o.addr && size == o.size; }
};
using Extents = std::vector<Extent>;
std::ostream &operator<<(std::ostream &os, const Extent &e) {
    return os << std::hex << "{0x" << e.addr << ", " << std::dec << e.size << "}";
}

class TraceRecords : public RecordingTrace {
  protected:
    void SetUp() override {
        RecordingTrace::SetUp();
        cpu = random_state(1);
        cpu->pc = reinterpret_cast<unsigned char *>(kPc);
        ostrel::set_thread_tracing(true);
    }
    static std::vector<Extent> extents() {
        std::vector<Extent> out;
        for (const sve_mem_ref_t &r : refs())
            out.push_back({r.addr, r.size});
        return out;
    }
    // Every record of a contiguous access: its type, this pc and thread, no sequence flags.
    static void expect_plain(memaccess_type_t type) {
        for (const sve_mem_ref_t &r : refs()) {
            EXPECT_EQ(r.type, type);
            EXPECT_EQ(r.pc, kPc);
            EXPECT_EQ(r.tid, this_tid());
            EXPECT_EQ(r.seq_flags, 0u);
        }
        expect_one_count_per_record();
    }
    // All elements but the first active, of memory element T and register element U.
    template <typename T, typename U> std::vector<Extent> trace_all_but_first() {
        recording_trace::reset();
        std::vector<char> pred(kBytes, 0);
        for (unsigned i = 1; i < kBytes / sizeof(U); ++i)
            pred[i * sizeof(U)] = 1;
        memtrace_lin<T, U>(cpu.get(), reinterpret_cast<T *>(kBase), pred.data(), MEMACCESS_WRITE);
        return extents();
    }
    std::unique_ptr<cpu_state> cpu;
};

// Word elements (48 of them): each maximal run of active elements is one record, in order.
// Predicate bytes between element positions belong to no element.
TEST_F(TraceRecords, ContiguousRunsOfActiveElements) {
    struct Case {
        const char *what;
        std::vector<unsigned> active, noise;
        std::vector<Extent> want; // offsets from the base
    } cases[] = {
        {"none", {}, {1, 2, 3, 191}, {}},
        {"first only", {0}, {}, {{0, 4}}},
        {"last only", {47}, {}, {{188, 4}}},
        {"two runs", {0, 1, 2, 5}, {}, {{0, 12}, {20, 4}}},
        {"run open at the end", {44, 45, 46, 47}, {}, {{176, 16}}},
        {"alternating", {0, 2, 4}, {}, {{0, 4}, {8, 4}, {16, 4}}},
        {"noise ignored", {1, 2}, {1, 2, 3, 13, 14, 15, 191}, {{4, 8}}},
    };
    for (const Case &c : cases) {
        recording_trace::reset();
        std::vector<char> pred(kBytes, 0);
        for (unsigned i : c.active)
            pred[4 * i] = 1;
        for (unsigned b : c.noise)
            pred[b] = 1;
        memtrace_lin<int32_t, int32_t>(cpu.get(), reinterpret_cast<int32_t *>(kBase), pred.data(),
                                       MEMACCESS_READ);
        std::vector<Extent> want;
        for (const Extent &e : c.want)
            want.push_back({kBase + e.addr, e.size});
        EXPECT_EQ(extents(), want) << c.what;
        expect_plain(MEMACCESS_READ);
    }
}

// Memory and register elements of different sizes: sizes and offsets count memory elements,
// the predicate byte of element i is i * register element size.
TEST_F(TraceRecords, ContiguousSizesCountMemoryElements) {
    EXPECT_EQ((trace_all_but_first<uint8_t, uint8_t>()), Extents({{kBase + 1, 191}}));
    EXPECT_EQ((trace_all_but_first<int8_t, uint64_t>()), Extents({{kBase + 1, 23}}));
    EXPECT_EQ((trace_all_but_first<uint16_t, int32_t>()), Extents({{kBase + 2, 94}}));
    EXPECT_EQ((trace_all_but_first<float, double>()), Extents({{kBase + 4, 92}}));
    EXPECT_EQ((trace_all_but_first<double, uint64_t>()), Extents({{kBase + 8, 184}}));
    expect_plain(MEMACCESS_WRITE);
}

TEST_F(TraceRecords, NothingWhileTracingIsOff) {
    ostrel::set_thread_tracing(false);
    std::vector<char> pred(kBytes, 1);
    memtrace_lin<uint8_t, uint8_t>(cpu.get(), reinterpret_cast<uint8_t *>(kBase), pred.data(),
                                   MEMACCESS_WRITE);
    ostrel::ElementAddresses addrs;
    addrs.push_back(0x1000);
    ostrel::emit_element_records(cpu.get(), MEMACCESS_READ, 4, addrs);
    EXPECT_TRUE(refs().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

// Element-wise records keep element order, not address order; the flags mark the first (1),
// a member (2) and the last (4) record of the instruction.
TEST_F(TraceRecords, ElementSequenceFlags) {
    struct Case {
        std::vector<uint64_t> addrs;
        std::vector<uint32_t> flags;
    } cases[] = {
        {{}, {}},
        {{0xdead0}, {7}},
        {{0x9000, 0x8ff8}, {3, 6}},
        {{0x9000, 0x8ff8, 0x9000}, {3, 2, 6}},
        {{0x9000, 0x8ff8, 0x9000, 0x1000, 0x10}, {3, 2, 2, 2, 6}},
    };
    for (const Case &c : cases) {
        recording_trace::reset();
        ostrel::ElementAddresses addrs;
        for (uint64_t a : c.addrs)
            addrs.push_back(a);
        ostrel::emit_element_records(cpu.get(), MEMACCESS_WRITE, 2, addrs);
        const auto recs = refs();
        ASSERT_EQ(recs.size(), c.addrs.size());
        for (size_t i = 0; i < recs.size(); ++i) {
            EXPECT_EQ(recs[i].seq_flags, c.flags[i]) << c.addrs.size() << " elements, " << i;
            EXPECT_EQ(recs[i].addr, c.addrs[i]);
            EXPECT_EQ(recs[i].size, 2u);
            EXPECT_EQ(recs[i].type, MEMACCESS_WRITE);
            EXPECT_EQ(recs[i].pc, kPc);
            EXPECT_EQ(recs[i].tid, this_tid());
        }
        expect_one_count_per_record();
    }
}

// ST4B with every byte element active at the longest length: 4 x 256 records, still one
// sequence.
TEST_F(TraceRecords, LargestStructureAccessIsOneSequence) {
    auto addrs = std::make_unique<ostrel::ElementAddresses>();
    for (unsigned i = 0; i < 4 * ostrel::kMaxVectorBytes; ++i)
        addrs->push_back(0x20000 + i);
    ostrel::emit_element_records(cpu.get(), MEMACCESS_WRITE, 1, *addrs);
    const auto recs = refs();
    ASSERT_EQ(recs.size(), 4u * ostrel::kMaxVectorBytes);
    for (size_t i = 0; i < recs.size(); ++i) {
        ASSERT_EQ(recs[i].seq_flags, i == 0 ? 3u : i + 1 == recs.size() ? 6u : 2u) << i;
        ASSERT_EQ(recs[i].addr, 0x20000 + i);
    }
}

// One contiguous form in both addressing encodings, register fields zero.
struct Form {
    const char *name;
    uint32_t imm, index; // [Xn, #imm, MUL VL] and [Xn, Xm, LSL #log2(msize)]
    unsigned msize, esize;
};
// Encodings from the assembler, e.g. "ld1sb {z0.h}, p0/z, [x0]" and "... [x0, x0]".
const std::vector<Form> kLoads = {
    {"ld1b.b", 0xa400a000, 0xa4004000, 1, 1},   {"ld1b.d", 0xa460a000, 0xa4604000, 1, 8},
    {"ld1sb.h", 0xa5c0a000, 0xa5c04000, 1, 2},  {"ld1h.s", 0xa4c0a000, 0xa4c04000, 2, 4},
    {"ld1sh.d", 0xa500a000, 0xa5004000, 2, 8},  {"ld1w.s", 0xa540a000, 0xa5404000, 4, 4},
    {"ld1sw.d", 0xa480a000, 0xa4804000, 4, 8},  {"ld1d.d", 0xa5e0a000, 0xa5e04000, 8, 8},
    {"ldnt1h.h", 0xa480e000, 0xa480c000, 2, 2},
};
const std::vector<Form> kStores = {
    {"st1b.b", 0xe400e000, 0xe4004000, 1, 1}, {"st1b.s", 0xe440e000, 0xe4404000, 1, 4},
    {"st1h.d", 0xe4e0e000, 0xe4e04000, 2, 8}, {"st1w.s", 0xe540e000, 0xe5404000, 4, 4},
    {"st1d.d", 0xe5e0e000, 0xe5e04000, 8, 8}, {"stnt1w.s", 0xe510e000, 0xe5006000, 4, 4},
};

// Zt = z3, Pg = p0 (all true), Xn = x1 (the middle of the buffer), Xm = x2 = 5; the immediate
// form goes two vector lengths back.
TEST_F(TraceRecords, ContiguousExecutorsRecordTheWholeAccess) {
    PagesBeforeHole mem(4);
    std::memset(cpu->p[0], 1, kBytes);
    cpu->x[1] = mem.address(mem.bytes() / 2);
    cpu->x[2] = 5;
    for (bool store : {false, true})
        for (const Form &f : store ? kStores : kLoads) {
            SCOPED_TRACE(f.name);
            const uint64_t bytes = kBytes / f.esize * f.msize;
            recording_trace::reset();
            ASSERT_EQ(emulate(*cpu, f.imm | 14u << 16 | 1u << 5 | 3u), DECODE_OK);
            ASSERT_EQ(emulate(*cpu, f.index | 2u << 16 | 1u << 5 | 3u), DECODE_OK);
            EXPECT_EQ(extents(), (std::vector<Extent>{{cpu->x[1] - 2 * bytes, bytes},
                                                      {cpu->x[1] + 5 * f.msize, bytes}}));
            expect_plain(store ? MEMACCESS_WRITE : MEMACCESS_READ);
        }
}

// At every length a contiguous access records the length's worth of memory elements, and an
// ST4B or LD4B with every byte active one four-byte record per structure, one per vector byte.
TEST_F(TraceRecords, RecordsFollowTheVectorLength) {
    constexpr uint32_t kSt4b = 0xe470e020; // st4b {z0.b-z3.b}, p0, [x1]
    constexpr uint32_t kLd4b = 0xa460e020; // ld4b {z0.b-z3.b}, p0/z, [x1]
    PagesBeforeHole mem(4);
    std::memset(cpu->p[0], 1, sizeof cpu->p[0]);
    cpu->x[1] = mem.address(mem.bytes() / 2);
    cpu->x[2] = 5;
    for (unsigned bits : {128u, 640u, 2048u}) {
        const ScopedVectorLength length(bits);
        const unsigned vector = bits / 8;
        for (const Form &f : {kLoads[1], kLoads[7], kStores[1], kStores[3]}) {
            SCOPED_TRACE(std::string(f.name) + " at " + std::to_string(bits));
            const uint64_t bytes = vector / f.esize * f.msize;
            recording_trace::reset();
            ASSERT_EQ(emulate(*cpu, f.imm | 14u << 16 | 1u << 5 | 3u), DECODE_OK);
            ASSERT_EQ(emulate(*cpu, f.index | 2u << 16 | 1u << 5 | 3u), DECODE_OK);
            EXPECT_EQ(extents(), (std::vector<Extent>{{cpu->x[1] - 2 * bytes, bytes},
                                                      {cpu->x[1] + 5 * f.msize, bytes}}));
        }
        for (uint32_t word : {kSt4b, kLd4b}) {
            SCOPED_TRACE(std::to_string(word) + " at " + std::to_string(bits));
            recording_trace::reset();
            ASSERT_EQ(emulate(*cpu, word), DECODE_OK);
            const auto recs = refs();
            ASSERT_EQ(recs.size(), vector);
            for (size_t i = 0; i < recs.size(); ++i) {
                ASSERT_EQ(recs[i].addr, cpu->x[1] + 4 * i);
                ASSERT_EQ(recs[i].size, 4u);
            }
        }
    }
}

// ST1H .D with elements 3, 4, 22 and 23 active: runs measured in memory bytes.
TEST_F(TraceRecords, ContiguousExecutorsRecordRuns) {
    PagesBeforeHole mem;
    std::memset(cpu->p[3], 0, kBytes);
    for (unsigned i : {3u, 4u, 22u, 23u})
        cpu->p[3][8 * i] = 1;
    cpu->x[1] = mem.address(0);
    ASSERT_EQ(emulate(*cpu, kStores[2].imm | 3u << 10 | 1u << 5), DECODE_OK);
    EXPECT_EQ(extents(), (std::vector<Extent>{{cpu->x[1] + 6, 4}, {cpu->x[1] + 44, 4}}));
    expect_plain(MEMACCESS_WRITE);
}

// Gathers, scatters and structure accesses with elements 1, 2 and 5 active (of eight, at 512
// bits): one record per active element in element order, whose addresses come from the registers
// as they were before the access, also when the destination is the offset register itself.
TEST_F(TraceRecords, ElementRecordsOfTheActiveElementsOnly) {
    struct Case {
        const char *what;
        uint32_t word;
        bool offsets_in_z0; // [x1, z?.d, lsl #3]; else [x1] with structures of two doublewords
        uint64_t record_bytes;
        memaccess_type_t type;
    } cases[] = {
        {"ld1d, destination = offsets", 0xc5e0c020, true, 8, MEMACCESS_READ},
        {"ld1d, offsets in z3", 0xc5e3c020, true, 8, MEMACCESS_READ},
        {"st1d, data = offsets", 0xe5a0a020, true, 8, MEMACCESS_WRITE},
        {"ld2d", 0xa5a0e020, false, 16, MEMACCESS_READ},
        {"st2d", 0xe5b0e020, false, 16, MEMACCESS_WRITE},
    };
    const ScopedVectorLength length(512);
    const unsigned active[] = {1, 2, 5};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PagesBeforeHole mem;
        recording_trace::reset();
        cpu->x[1] = mem.address(64);
        std::memset(cpu->p[0], 0, kBytes);
        for (unsigned i : active)
            cpu->p[0][8 * i] = 1;
        // Offsets in elements, backwards, so that element order is not address order.
        for (unsigned i = 0; i < 8; ++i)
            for (unsigned reg : {0u, 3u})
                set_z_element(*cpu, reg, 8, i, 40 - 5 * i);
        ASSERT_EQ(emulate(*cpu, c.word), DECODE_OK);
        std::vector<Extent> want;
        for (unsigned i : active)
            want.push_back(
                {mem.address(64) + (c.offsets_in_z0 ? 8 * (40 - 5 * i) : 16 * i), c.record_bytes});
        EXPECT_EQ(extents(), want);
        for (const sve_mem_ref_t &r : refs())
            EXPECT_EQ(r.type, c.type);
        expect_one_count_per_record();
    }
}

// Replicating loads, register fill and spill and prefetches leave no records.
TEST_F(TraceRecords, UntracedMemoryInstructions) {
    PagesBeforeHole mem;
    std::memset(cpu->p[0], 1, kBytes);
    cpu->x[1] = mem.address(0);
    cpu->x[2] = 1;
    const uint32_t untraced[] = {
        0x84408020, // ld1rb {z0.b}, p0/z, [x1]
        0xa4002020, // ld1rqb {z0.b}, p0/z, [x1]
        0x85804020, // ldr z0, [x1]
        0xe5804020, // str z0, [x1]
        0x85800020, // ldr p0, [x1]
        0xe5800020, // str p0, [x1]
        0x8582c020, // prfd pldl1keep, p0, [x1, x2, lsl #3]
    };
    for (uint32_t e : untraced)
        ASSERT_EQ(emulate(*cpu, e), DECODE_OK) << std::hex << e;
    EXPECT_TRUE(refs().empty());
    EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
}

} // namespace
