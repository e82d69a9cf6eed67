// What the emulator does where the reference cannot say: ADD Zdn.B, Zdn.B, #imm, LSL #8, which
// the reference leaves unallocated and the emulator runs as the region-of-interest markers, and
// UZP1/UZP2 on predicates with Pd the same register as Pm, where the reference's result bits
// vary from run to run. The results below are worked out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "tests/support/recording_trace.h"
#include "tests/support/register_file.h"
#include "tests/support/vector_length_scope.h"

using namespace ostrel::testing;

namespace {

// The assembler refuses a shift on byte elements, so the words are put together from the
// fields: size 00, sh 1, imm8, Zdn.
constexpr uint32_t byte_add_shifted(uint32_t imm8, uint32_t zdn) {
    return 0x2520e000u | imm8 << 5 | zdn;
}

struct MarkerCase {
    const char *what;
    uint32_t encoding;
    bool initially_on;
    uint32_t marker; // the record's tid, 0 when the word is no marker
    bool finally_on;
};

using RoiMarkers = RecordingTrace;

TEST_F(RoiMarkers, SwitchTracingEmitOneRecordAndKeepTheRegister) {
    const MarkerCase cases[] = {
        {"start, z0", byte_add_shifted(1, 0), false, ostrel::kTidStartMarker, true},
        {"start while on", byte_add_shifted(1, 0), true, ostrel::kTidStartMarker, true},
        {"start, z23", byte_add_shifted(1, 23), false, ostrel::kTidStartMarker, true},
        {"stop, z0", byte_add_shifted(2, 0), true, ostrel::kTidStopMarker, false},
        {"stop while off", byte_add_shifted(2, 0), false, ostrel::kTidStopMarker, false},
        {"stop, z31", byte_add_shifted(2, 31), true, ostrel::kTidStopMarker, false},
        // Other shifted byte immediates are no markers and, like the markers, add 0 to bytes.
        {"#3, lsl #8", byte_add_shifted(3, 4), true, 0, true},
        {"#255, lsl #8", byte_add_shifted(255, 4), false, 0, false},
        // SUB with the start marker's fields is no marker.
        {"sub #1, lsl #8", byte_add_shifted(1, 0) | 1u << 16, false, 0, false},
    };
    for (const MarkerCase &c : cases) {
        SCOPED_TRACE(c.what);
        recording_trace::reset();
        ostrel::set_thread_tracing(c.initially_on);
        auto s = random_state(c.encoding);
        cpu_state want = *s;
        want.encoding = c.encoding;
        ASSERT_EQ(emulate(*s, c.encoding), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want), "");
        EXPECT_EQ(enable_trace, c.finally_on);
        const auto recs = recording_trace::records();
        ASSERT_EQ(recs.size(), c.marker ? 1u : 0u);
        expect_one_count_per_record();
        if (!c.marker) continue;
        const sve_mem_ref_t &r = recs[0].ref;
        EXPECT_EQ(recs[0].passed, &trace_roi) << "markers are handed over through trace_roi";
        EXPECT_EQ(r.tid, c.marker);
        EXPECT_EQ(r.type, MEMACCESS_WRITE);
        EXPECT_EQ(r.seq_flags, 0u);
        EXPECT_EQ(r.size, 0u);
        EXPECT_EQ(r.addr, 0u);
        EXPECT_EQ(r.pc, 0u);
    }
}

// The same immediate on halfwords is an ordinary, allocated ADD of 256.
TEST_F(RoiMarkers, HalfwordAddOf256IsNoMarker) {
    auto s = random_state(7);
    fill_z_elements(*s, 0, 2, 0x1234);
    ASSERT_EQ(emulate(*s, 0x2560e020), DECODE_OK); // add z0.h, z0.h, #1, lsl #8
    for (unsigned i = 0; i < kBytes / 2; ++i)
        ASSERT_EQ(z_element(*s, 0, 2, i), 0x1334u) << i;
    EXPECT_FALSE(enable_trace);
    EXPECT_TRUE(recording_trace::records().empty());
}

// UZP1/UZP2 Pd.T, P3.T, Pd.T with P3 all false: the first half of the result is zero and the
// second half comes from the even (UZP1) or odd (UZP2) elements of the old Pd, which an
// implementation writing Pd as it goes would already have overwritten.
TEST(PredicateUnzip, DestinationIsTheSecondSource) {
    struct Case {
        const char *what;
        uint32_t op;
        unsigned size;                            // log2 of the element's bytes
        std::initializer_list<unsigned> pm, want; // set elements before and after
    } cases[] = {
        {"uzp1 .b", 0x05204800, 0, {0, 2, 5, 160, 162, 190, 191}, {96, 97, 176, 177, 191}},
        {"uzp2 .b", 0x05204c00, 0, {1, 5, 160, 161, 191}, {96, 98, 176, 191}},
        {"uzp1 .h", 0x05204800, 1, {0, 80, 82, 95}, {48, 88, 89}},
        {"uzp2 .s", 0x05204c00, 2, {1, 3, 47}, {24, 25, 47}},
        {"uzp1 .d", 0x05204800, 3, {0, 4, 22, 23}, {12, 14, 23}},
    };
    for (const Case &c : cases) {
        auto s = random_state(c.op + c.size);
        std::memset(s->p[3], 0, kBytes);
        std::memset(s->p[4], 0, kBytes);
        for (unsigned e : c.pm)
            s->p[4][e << c.size] = 1;
        ASSERT_EQ(emulate(*s, c.op | c.size << 22 | 4u << 16 | 3u << 5 | 4u), DECODE_OK);
        uint8_t want[kBytes] = {};
        for (unsigned e : c.want)
            want[e << c.size] = 1;
        for (unsigned b = 0; b < kBytes; ++b)
            EXPECT_EQ(s->p[4][b], want[b]) << c.what << " byte " << b;
    }
}

// UZP1/UZP2 Pd.T, Pn.T, Pm.T at lengths whose predicate is not a whole number of 64-bit words,
// where QEMU 7.2 gives other bits (640, 896, 1920 bits among them): each element of the
// result is element 2e (UZP1) or 2e + 1 (UZP2) of the concatenation Pm:Pn, worked out here bit
// by bit from that definition.
TEST(PredicateUnzip, FollowsTheDefinitionAtLengthsOfPartialWords) {
    for (unsigned bits : {640u, 896u, 1920u}) {
        ostrel::testing::ScopedVectorLength length(bits);
        const unsigned elements_bytes = bits / 8; // predicate bits, one byte each
        for (unsigned size = 0; size < 4; ++size) {
            for (unsigned odd = 0; odd < 2; ++odd) {
                SCOPED_TRACE(std::to_string(bits) + (odd ? " uzp2" : " uzp1") + " size " +
                             std::to_string(size));
                auto s = random_state(bits + 8 * size + odd);
                for (unsigned b = 0; b < elements_bytes; ++b) {
                    s->p[1][b] = (b * 7 + size) % 3 == 0;
                    s->p[2][b] = (b * 5 + odd) % 4 == 1;
                }
                uint8_t concatenation[2 * ostrel::kMaxVectorBytes];
                std::memcpy(concatenation, s->p[1], elements_bytes);
                std::memcpy(concatenation + elements_bytes, s->p[2], elements_bytes);
                // uzp1/uzp2 p3.T, p1.T, p2.T
                const uint32_t op =
                    (odd ? 0x05204c00u : 0x05204800u) | size << 22 | 2u << 16 | 1u << 5 | 3u;
                ASSERT_EQ(emulate(*s, op), DECODE_OK);
                const unsigned esize = 1u << size; // predicate bits per element
                for (unsigned e = 0; e < elements_bytes / esize; ++e)
                    for (unsigned b = 0; b < esize; ++b)
                        ASSERT_EQ(s->p[3][e * esize + b], concatenation[(2 * e + odd) * esize + b])
                            << "element " << e;
            }
        }
    }
}

} // namespace
