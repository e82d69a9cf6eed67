// ADD and SUB through their decode functions: vectors (predicated, unpredicated) and the
// unsigned immediate, every element size, against an element-by-element model; and the
// region-of-interest markers carried by byte-element ADD (immediate).
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <vector>

#include "sve/trace/memtrace.h"
#include "tests/integer/sve_state_support.h"
#include "tests/trace/recording_trace.h"

using namespace sve_test;

namespace {

enum class Op { add, sub };
enum class Shape { predicated, unpredicated, immediate };

// One assembled instruction (aarch64-linux-gnu-as -march=armv8.2-a+sve) and what it names.
struct Case {
    const char *text;
    uint32_t encoding;
    Op op;
    Shape shape;
    unsigned esize; // bytes
    unsigned zd, zn, zm, pg;
    uint64_t imm; // after LSL #8 when the encoding has it
};

std::ostream &operator<<(std::ostream &os, const Case &c) {
    return os << c.text;
}

// clang-format off
const Case kCases[] = {
    {"add z3.b, p2/m, z3.b, z17.b", 0x04000a23, Op::add, Shape::predicated, 1, 3, 3, 17, 2, 0},
    {"add z3.h, p2/m, z3.h, z17.h", 0x04400a23, Op::add, Shape::predicated, 2, 3, 3, 17, 2, 0},
    {"add z3.s, p2/m, z3.s, z17.s", 0x04800a23, Op::add, Shape::predicated, 4, 3, 3, 17, 2, 0},
    {"add z3.d, p2/m, z3.d, z17.d", 0x04c00a23, Op::add, Shape::predicated, 8, 3, 3, 17, 2, 0},
    {"sub z3.b, p2/m, z3.b, z17.b", 0x04010a23, Op::sub, Shape::predicated, 1, 3, 3, 17, 2, 0},
    {"sub z3.h, p2/m, z3.h, z17.h", 0x04410a23, Op::sub, Shape::predicated, 2, 3, 3, 17, 2, 0},
    {"sub z3.s, p2/m, z3.s, z17.s", 0x04810a23, Op::sub, Shape::predicated, 4, 3, 3, 17, 2, 0},
    {"sub z3.d, p2/m, z3.d, z17.d", 0x04c10a23, Op::sub, Shape::predicated, 8, 3, 3, 17, 2, 0},
    // Zdn is also Zm: active elements double (or clear), inactive ones keep their value.
    {"add z9.b, p5/m, z9.b, z9.b", 0x04001529, Op::add, Shape::predicated, 1, 9, 9, 9, 5, 0},
    {"add z9.h, p5/m, z9.h, z9.h", 0x04401529, Op::add, Shape::predicated, 2, 9, 9, 9, 5, 0},
    {"add z9.s, p5/m, z9.s, z9.s", 0x04801529, Op::add, Shape::predicated, 4, 9, 9, 9, 5, 0},
    {"add z9.d, p5/m, z9.d, z9.d", 0x04c01529, Op::add, Shape::predicated, 8, 9, 9, 9, 5, 0},
    {"sub z9.s, p5/m, z9.s, z9.s", 0x04811529, Op::sub, Shape::predicated, 4, 9, 9, 9, 5, 0},
    {"add z4.b, z20.b, z31.b", 0x043f0284, Op::add, Shape::unpredicated, 1, 4, 20, 31, 0, 0},
    {"add z4.h, z20.h, z31.h", 0x047f0284, Op::add, Shape::unpredicated, 2, 4, 20, 31, 0, 0},
    {"add z4.s, z20.s, z31.s", 0x04bf0284, Op::add, Shape::unpredicated, 4, 4, 20, 31, 0, 0},
    {"add z4.d, z20.d, z31.d", 0x04ff0284, Op::add, Shape::unpredicated, 8, 4, 20, 31, 0, 0},
    {"sub z4.b, z20.b, z31.b", 0x043f0684, Op::sub, Shape::unpredicated, 1, 4, 20, 31, 0, 0},
    {"sub z4.h, z20.h, z31.h", 0x047f0684, Op::sub, Shape::unpredicated, 2, 4, 20, 31, 0, 0},
    {"sub z4.s, z20.s, z31.s", 0x04bf0684, Op::sub, Shape::unpredicated, 4, 4, 20, 31, 0, 0},
    {"sub z4.d, z20.d, z31.d", 0x04ff0684, Op::sub, Shape::unpredicated, 8, 4, 20, 31, 0, 0},
    // The destination is one of the sources.
    {"add z20.s, z20.s, z31.s", 0x04bf0294, Op::add, Shape::unpredicated, 4, 20, 20, 31, 0, 0},
    {"sub z31.h, z20.h, z31.h", 0x047f069f, Op::sub, Shape::unpredicated, 2, 31, 20, 31, 0, 0},
    {"add z7.b, z7.b, #200", 0x2520d907, Op::add, Shape::immediate, 1, 7, 7, 0, 0, 200},
    {"add z7.h, z7.h, #200", 0x2560d907, Op::add, Shape::immediate, 2, 7, 7, 0, 0, 200},
    {"add z7.s, z7.s, #200", 0x25a0d907, Op::add, Shape::immediate, 4, 7, 7, 0, 0, 200},
    {"add z7.d, z7.d, #200", 0x25e0d907, Op::add, Shape::immediate, 8, 7, 7, 0, 0, 200},
    {"add z7.h, z7.h, #0x5a, lsl #8", 0x2560eb47, Op::add, Shape::immediate, 2, 7, 7, 0, 0, 0x5a00},
    {"add z7.s, z7.s, #0x5a, lsl #8", 0x25a0eb47, Op::add, Shape::immediate, 4, 7, 7, 0, 0, 0x5a00},
    {"add z7.d, z7.d, #0xff, lsl #8", 0x25e0ffe7, Op::add, Shape::immediate, 8, 7, 7, 0, 0, 0xff00},
    {"sub z7.b, z7.b, #200", 0x2521d907, Op::sub, Shape::immediate, 1, 7, 7, 0, 0, 200},
    {"sub z7.h, z7.h, #200", 0x2561d907, Op::sub, Shape::immediate, 2, 7, 7, 0, 0, 200},
    {"sub z7.s, z7.s, #200", 0x25a1d907, Op::sub, Shape::immediate, 4, 7, 7, 0, 0, 200},
    {"sub z7.d, z7.d, #200", 0x25e1d907, Op::sub, Shape::immediate, 8, 7, 7, 0, 0, 200},
    {"sub z7.h, z7.h, #0x5a, lsl #8", 0x2561eb47, Op::sub, Shape::immediate, 2, 7, 7, 0, 0, 0x5a00},
    {"sub z7.s, z7.s, #0x5a, lsl #8", 0x25a1eb47, Op::sub, Shape::immediate, 4, 7, 7, 0, 0, 0x5a00},
    {"sub z7.d, z7.d, #0xff, lsl #8", 0x25e1ffe7, Op::sub, Shape::immediate, 8, 7, 7, 0, 0, 0xff00},
};
// clang-format on

// The architectural result, element by element, on the state before the instruction.
cpu_state expected_after(const cpu_state &before, const Case &c) {
    cpu_state after;
    std::memcpy(&after, &before, sizeof after);
    after.encoding = c.encoding;
    for (unsigned i = 0; i < ostrel::kVectorBytes / c.esize; ++i) {
        const uint64_t a = z_element(before, c.zn, c.esize, i);
        const uint64_t b =
            c.shape == Shape::immediate ? c.imm : z_element(before, c.zm, c.esize, i);
        const bool active = c.shape != Shape::predicated || (before.p[c.pg][i * c.esize] & 1u) != 0;
        const uint64_t result = active ? low_bits(c.op == Op::add ? a + b : a - b, c.esize)
                                       : z_element(before, c.zd, c.esize, i);
        set_z_element(after, c.zd, c.esize, i, result);
    }
    return after;
}

class AddSubTest : public ::testing::TestWithParam<Case> {};

TEST_P(AddSubTest, MatchesTheElementModelOnRandomRegisters) {
    const Case &c = GetParam();
    for (uint32_t seed : {1u, 2u, 3u}) {
        auto state = garbage_state(seed * 977 + c.encoding, kPc);
        const cpu_state expected = expected_after(*state, c);
        ASSERT_EQ(run(state.get(), c.encoding), DECODE_OK);
        EXPECT_EQ(state_difference(*state, expected), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, AddSubTest, ::testing::ValuesIn(kCases));

// Hand-worked values at the wrap-around edges: Zn (or Zdn) holds `a` in every element, Zm `b`.
struct EdgeCase {
    const char *text;
    uint32_t encoding;
    unsigned esize, zd, zn, zm;
    uint64_t a, b, result;
};

std::ostream &operator<<(std::ostream &os, const EdgeCase &c) {
    return os << c.text << " with 0x" << std::hex << c.a;
}

// clang-format off
const EdgeCase kEdges[] = {
    {"add z4.b, z20.b, z31.b", 0x043f0284, 1, 4, 20, 31, 0xff, 0x01, 0x00},
    {"add z4.h, z20.h, z31.h", 0x047f0284, 2, 4, 20, 31, 0xffff, 0x0002, 0x0001},
    {"add z4.s, z20.s, z31.s", 0x04bf0284, 4, 4, 20, 31, 0x7fffffff, 0x1, 0x80000000},
    {"add z4.d, z20.d, z31.d", 0x04ff0284, 8, 4, 20, 31, 0x8000000000000000, 0x8000000000000000, 0},
    {"sub z4.b, z20.b, z31.b", 0x043f0684, 1, 4, 20, 31, 0x00, 0x01, 0xff},
    {"sub z4.s, z20.s, z31.s", 0x04bf0684, 4, 4, 20, 31, 0x0, 0x1, 0xffffffff},
    {"sub z4.d, z20.d, z31.d", 0x04ff0684, 8, 4, 20, 31, 0x0, 0x1, 0xffffffffffffffff},
    {"add z3.h, p2/m, z3.h, z17.h", 0x04400a23, 2, 3, 3, 17, 0x8001, 0x7fff, 0x0000},
    {"sub z3.d, p2/m, z3.d, z17.d", 0x04c10a23, 8, 3, 3, 17, 0x1, 0x2, 0xffffffffffffffff},
    {"add z7.b, z7.b, #200", 0x2520d907, 1, 7, 7, 0, 100, 0, 44},
    {"add z7.h, z7.h, #0x5a, lsl #8", 0x2560eb47, 2, 7, 7, 0, 0xa6ff, 0, 0x00ff},
    {"add z7.s, z7.s, #0x5a, lsl #8", 0x25a0eb47, 4, 7, 7, 0, 0xffffa600, 0, 0x0},
    {"add z7.d, z7.d, #0xff, lsl #8", 0x25e0ffe7, 8, 7, 7, 0, 0xffffffffffffff00, 0, 0xfe00},
    {"sub z7.b, z7.b, #200", 0x2521d907, 1, 7, 7, 0, 100, 0, 156},
    {"sub z7.h, z7.h, #0x5a, lsl #8", 0x2561eb47, 2, 7, 7, 0, 0x5a00, 0, 0x0},
    {"sub z7.d, z7.d, #0xff, lsl #8", 0x25e1ffe7, 8, 7, 7, 0, 0x0, 0, 0xffffffffffff0100},
};
// clang-format on

class AddSubEdgeTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(AddSubEdgeTest, WrapsModuloTheElementSize) {
    const EdgeCase &c = GetParam();
    auto state = garbage_state(c.encoding, kPc);
    fill_z_elements(*state, c.zn, c.esize, c.a);
    if (c.zm != c.zn) fill_z_elements(*state, c.zm, c.esize, c.b);
    std::memset(state->p[2], 1, sizeof state->p[2]); // the predicated cases use P2
    ASSERT_EQ(run(state.get(), c.encoding), DECODE_OK);
    for (unsigned i = 0; i < ostrel::kVectorBytes / c.esize; ++i)
        ASSERT_EQ(z_element(*state, c.zd, c.esize, i), c.result) << "element " << i;
}

INSTANTIATE_TEST_SUITE_P(Values, AddSubEdgeTest, ::testing::ValuesIn(kEdges));

// Activity is bit 0 of the predicate byte at the element's first byte; the bytes of the
// element's other positions and the other bits of that byte do not count.
TEST(AddSubMerging, OnlyBitZeroOfTheFirstPredicateByteCounts) {
    auto state = garbage_state(41, kPc);
    fill_z_elements(*state, 3, 4, 0x10000000);
    fill_z_elements(*state, 17, 4, 0x00000005);
    for (unsigned i = 0; i < 48; ++i) {
        state->p[2][4 * i] = i % 2 ? 0x01 : 0xfe;
        std::memset(&state->p[2][4 * i + 1], i % 3 ? 0x01 : 0x00, 3);
    }
    ASSERT_EQ(run(state.get(), 0x04800a23), DECODE_OK); // add z3.s, p2/m, z3.s, z17.s
    for (unsigned i = 0; i < 48; ++i)
        EXPECT_EQ(z_element(*state, 3, 4, i), i % 2 ? 0x10000005u : 0x10000000u) << i;
}

TEST(AddSubMerging, AnAllFalsePredicateChangesNothing) {
    auto state = garbage_state(42, kPc);
    std::memset(state->p[2], 0xfe, sizeof state->p[2]);
    cpu_state before;
    std::memcpy(&before, state.get(), sizeof before);
    before.encoding = 0x04c10a23;
    ASSERT_EQ(run(state.get(), 0x04c10a23), DECODE_OK); // sub z3.d, p2/m, z3.d, z17.d
    EXPECT_EQ(state_difference(*state, before), "");
}

// ---- region-of-interest markers -------------------------------------------------------------

// ADD Zdn.B, Zdn.B, #imm8, LSL #8 (the assembler refuses a shift on byte elements, so the
// words are put together from the fields: size 00, sh 1, imm8, Zdn).
constexpr uint32_t byte_add_shifted(uint32_t imm8, uint32_t zdn) {
    return 0x2520c000u | 1u << 13 | imm8 << 5 | zdn;
}

class RoiMarkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        recording_trace::reset();
        enable_trace = false;
        trace_roi = sve_mem_ref_t{};
    }
    void TearDown() override { enable_trace = false; }

    // Runs the word on random registers; the register file must come out unchanged.
    void run_unchanged(uint32_t encoding) {
        auto state = garbage_state(encoding, kPc);
        cpu_state before;
        std::memcpy(&before, state.get(), sizeof before);
        before.encoding = encoding;
        ASSERT_EQ(run(state.get(), encoding), DECODE_OK);
        EXPECT_EQ(state_difference(*state, before), "");
    }
};

struct MarkerCase {
    const char *what;
    uint32_t encoding;
    bool initially_on;
    uint32_t marker_tid; // 0: not a marker
    bool finally_on;
};

std::ostream &operator<<(std::ostream &os, const MarkerCase &c) {
    return os << c.what << (c.initially_on ? " while on" : " while off");
}

class RoiMarkerCaseTest : public RoiMarkerTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(RoiMarkerCaseTest, SwitchesTracingEmitsOneRecordAndKeepsTheRegister) {
    const MarkerCase &c = GetParam();
    enable_trace = c.initially_on;
    run_unchanged(c.encoding);
    EXPECT_EQ(enable_trace, c.finally_on);
    const auto recs = recording_trace::records();
    if (c.marker_tid == 0) {
        EXPECT_TRUE(recs.empty());
        EXPECT_EQ(recording_trace::incr_count_calls(), 0u);
        return;
    }
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].ref.tid, c.marker_tid);
    EXPECT_EQ(recs[0].passed, &trace_roi);
    EXPECT_TRUE(recs[0].count_fresh);
    EXPECT_EQ(recording_trace::incr_count_calls(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, RoiMarkerCaseTest,
    ::testing::Values(
        MarkerCase{"start, z0", byte_add_shifted(1, 0), false, ostrel::kTidStartMarker, true},
        MarkerCase{"start, z0", byte_add_shifted(1, 0), true, ostrel::kTidStartMarker, true},
        MarkerCase{"start, z23", byte_add_shifted(1, 23), false, ostrel::kTidStartMarker, true},
        MarkerCase{"stop, z0", byte_add_shifted(2, 0), true, ostrel::kTidStopMarker, false},
        MarkerCase{"stop, z0", byte_add_shifted(2, 0), false, ostrel::kTidStopMarker, false},
        MarkerCase{"stop, z31", byte_add_shifted(2, 31), true, ostrel::kTidStopMarker, false},
        // add z0.b, z0.b, #0: adds nothing, marks nothing.
        MarkerCase{"add #0 on bytes", 0x2520c000, true, 0, true},
        MarkerCase{"#3, lsl #8 on bytes", byte_add_shifted(3, 0), false, 0, false},
        // SUB with the start marker's fields is no marker.
        MarkerCase{"sub #1, lsl #8 on bytes", byte_add_shifted(1, 0) | 1u << 16, false, 0, false}));

TEST_F(RoiMarkerTest, HalfwordAddOf256IsNoMarkerAndAdds) {
    auto state = garbage_state(77, kPc);
    fill_z_elements(*state, 0, 2, 0x1234);
    ASSERT_EQ(run(state.get(), 0x2560e020), DECODE_OK); // add z0.h, z0.h, #1, lsl #8
    for (unsigned i = 0; i < 96; ++i)
        ASSERT_EQ(z_element(*state, 0, 2, i), 0x1334u) << i;
    EXPECT_FALSE(enable_trace);
    EXPECT_TRUE(recording_trace::records().empty());
}

TEST_F(RoiMarkerTest, ByteAddWithoutMarkerStillAdds) {
    auto state = garbage_state(78, kPc);
    fill_z_elements(*state, 7, 1, 0x05);
    enable_trace = true;
    ASSERT_EQ(run(state.get(), 0x2520d907), DECODE_OK); // add z7.b, z7.b, #200
    for (unsigned i = 0; i < 192; ++i)
        ASSERT_EQ(z_element(*state, 7, 1, i), 205u) << i;
    EXPECT_TRUE(enable_trace);
    EXPECT_TRUE(recording_trace::records().empty());
}

// Every ADD/SUB row is reached and built, so none reports itself as unimplemented.
TEST(AddSubRows, EveryRowIsBuilt) {
    unsigned rows = 0;
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows) {
        const std::string target = row.target;
        if (target != "sve_add_zpz" && target != "sve_sub_zpz" && target != "sve_add_zzz" &&
            target != "sve_sub_zzz" && target != "sve_add_zi" && target != "sve_sub_zi")
            continue;
        ++rows;
        EXPECT_EQ(row.state, ostrel::RowState::built) << row.name;
    }
    EXPECT_EQ(rows, 24u);
}

} // namespace
