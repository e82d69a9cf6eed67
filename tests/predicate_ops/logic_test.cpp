// Predicate logic: every operation over all eight combinations of (Pg, Pn, Pm) bits, with stray
// upper bits in the source bytes, the flag-setting forms, and a destination that is a source.
#include "tests/predicate_ops/pred_ops_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

struct LogicOp {
    const char *name;
    uint32_t base;    // Pd = P1, Pg = P2, Pn = P3, Pm = P4 are ORed in
    bool can_flag;    // has an S form (bit 22)
    uint8_t truth[8]; // result for combination g << 2 | n << 1 | m
};

// Written out from the operations' definitions: zeroing forms give 0 wherever g is 0.
const LogicOp kOps[] = {
    {"and", 0x25004000, true, {0, 0, 0, 0, 0, 0, 0, 1}},
    {"bic", 0x25004010, true, {0, 0, 0, 0, 0, 0, 1, 0}},
    {"eor", 0x25004200, true, {0, 0, 0, 0, 0, 1, 1, 0}},
    {"orr", 0x25804000, true, {0, 0, 0, 0, 0, 1, 1, 1}},
    {"orn", 0x25804010, true, {0, 0, 0, 0, 1, 0, 1, 1}},
    {"nor", 0x25804200, true, {0, 0, 0, 0, 1, 0, 0, 0}},
    {"nand", 0x25804210, true, {0, 0, 0, 0, 1, 1, 1, 0}},
    {"sel", 0x25004210, false, {0, 1, 0, 1, 0, 0, 1, 1}},
};

constexpr uint64_t kNzcvBefore = V | 0x77;

// Byte i holds combination i % 8; false bits carry stray upper bits that must be ignored.
void fill_combinations(cpu_state &s) {
    for (unsigned i = 0; i < kVectorBytes; ++i) {
        const unsigned c = i % 8;
        s.p[2][i] = static_cast<uint8_t>(((c >> 2) & 1) | 0xf0);
        s.p[3][i] = static_cast<uint8_t>(((c >> 1) & 1) | 0xa0);
        s.p[4][i] = static_cast<uint8_t>((c & 1) | 0x0e);
    }
}

TEST(PredicateLogic, TruthTables) {
    for (const LogicOp &op : kOps)
        for (bool flags : {false, true}) {
            if (flags && !op.can_flag) continue;
            SCOPED_TRACE(std::string(op.name) + (flags ? "s" : ""));
            auto s = garbage_state(3);
            s->nzcv = kNzcvBefore;
            fill_combinations(*s);
            const uint32_t enc =
                op.base | (flags ? 1u << 22 : 0u) | 4u << 16 | 2u << 10 | 3u << 5 | 1u;
            ASSERT_EQ(emulate(*s, enc), DECODE_OK);
            Pred expect(kVectorBytes);
            for (unsigned i = 0; i < kVectorBytes; ++i)
                expect[i] = op.truth[i % 8];
            EXPECT_EQ(predicate(*s, 1), expect);
            // Active bytes are those of combinations 4..7; the first is byte 4, the last byte 191
            // (combination 7).
            const bool any = op.truth[4] | op.truth[5] | op.truth[6] | op.truth[7];
            const uint64_t want =
                flags ? (kNzcvBefore & ~kFlagBits) | pred_test(true, op.truth[4], any, op.truth[7])
                      : kNzcvBefore;
            EXPECT_EQ(s->nzcv, want);
        }
}

TEST(PredicateLogic, FlagsWithNothingActive) {
    for (const LogicOp &op : kOps) {
        if (!op.can_flag) continue;
        SCOPED_TRACE(op.name);
        auto s = garbage_state(4);
        s->nzcv = N | V;
        set_pred(*s, 2, all_false());
        set_pred(*s, 3, all_true());
        set_pred(*s, 4, all_false());
        ASSERT_EQ(emulate(*s, op.base | 1u << 22 | 4u << 16 | 2u << 10 | 3u << 5 | 1u), DECODE_OK);
        EXPECT_EQ(predicate(*s, 1), all_false());
        EXPECT_EQ(s->nzcv, Z | C);
    }
}

// AND P3.B, P2/Z, P3.B, P4.B and SEL P4.B, P2, P3.B, P4.B: the old source is read before the
// destination is written.
TEST(PredicateLogic, DestinationIsASource) {
    auto s = garbage_state(5);
    set_pred(*s, 2, byte_range(0, 99));
    set_pred(*s, 3, byte_range(50, 191));
    set_pred(*s, 4, bytes_at({0, 60, 150}));
    ASSERT_EQ(emulate(*s, 0x25004000 | 4u << 16 | 2u << 10 | 3u << 5 | 3u), DECODE_OK);
    EXPECT_EQ(predicate(*s, 3), bytes_at({60}));

    set_pred(*s, 3, byte_range(50, 191));
    ASSERT_EQ(emulate(*s, 0x25004210 | 4u << 16 | 2u << 10 | 3u << 5 | 4u), DECODE_OK);
    Pred sel = byte_range(50, 99);
    sel[150] = 1;
    EXPECT_EQ(predicate(*s, 4), sel);
}

} // namespace
