// Predicate ZIP1/ZIP2/UZP1/UZP2/TRN1/TRN2/REV at every element size and PUNPKLO/PUNPKHI: one
// set bit is followed from its source element to where it lands; wide elements move whole,
// including bits beyond the element's first.
#include "tests/predicate_ops/pred_ops_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

enum Op : uint32_t {
    ZIP1 = 0x05204000,
    ZIP2 = 0x05204400,
    UZP1 = 0x05204800,
    UZP2 = 0x05204c00,
    TRN1 = 0x05205000,
    TRN2 = 0x05205400,
    REV = 0x05344000,
};
constexpr unsigned kNone = ~0u;

struct PermuteCase {
    Op op;
    unsigned size;
    bool from_pm;           // the set bit is in Pm (P4) rather than Pn (P3)
    unsigned element, byte; // source element and byte inside it
    unsigned dest;          // destination element, or kNone
};

TEST(PredicatePermutes, FollowOneBit) {
    const PermuteCase cases[] = {
        {ZIP1, 0, false, 5, 0, 10},     {ZIP1, 0, true, 5, 0, 11},
        {ZIP1, 0, false, 96, 0, kNone}, {ZIP1, 0, true, 95, 0, 191},
        {ZIP2, 0, false, 101, 0, 10},   {ZIP2, 0, true, 191, 0, 191},
        {ZIP2, 0, false, 5, 0, kNone},  {ZIP1, 3, false, 11, 0, 22},
        {ZIP1, 3, true, 11, 0, 23},     {ZIP1, 3, false, 12, 0, kNone},
        {ZIP2, 1, false, 48, 0, 0},     {ZIP2, 1, true, 95, 0, 95},
        {ZIP1, 1, false, 3, 1, 6},      {UZP1, 1, false, 4, 0, 2},
        {UZP1, 1, true, 4, 0, 50},      {UZP1, 1, false, 3, 0, kNone},
        {UZP1, 0, true, 190, 0, 191},   {UZP2, 2, false, 5, 0, 2},
        {UZP2, 2, true, 47, 0, 47},     {UZP2, 2, false, 4, 0, kNone},
        {UZP2, 2, true, 1, 3, 24},      {TRN1, 3, false, 4, 0, 4},
        {TRN1, 3, true, 4, 0, 5},       {TRN1, 3, false, 5, 0, kNone},
        {TRN2, 3, false, 5, 0, 4},      {TRN2, 3, true, 5, 7, 5},
        {TRN2, 3, true, 4, 0, kNone},   {TRN1, 0, true, 190, 0, 191},
        {TRN2, 2, false, 47, 0, 46},    {TRN2, 2, true, 47, 0, 47},
        {REV, 0, false, 0, 0, 191},     {REV, 1, false, 0, 0, 95},
        {REV, 3, false, 23, 0, 0},      {REV, 3, false, 0, 7, 23},
        {REV, 2, false, 20, 2, 27},
    };
    for (const PermuteCase &c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << c.op << std::dec << " size " << c.size
                     << (c.from_pm ? " pm " : " pn ") << c.element << "." << c.byte);
        auto s = garbage_state(c.element);
        set_pred(*s, 3, all_false());
        set_pred(*s, 4, all_false());
        s->p[c.from_pm ? 4 : 3][(c.element << c.size) + c.byte] = 1;
        const uint32_t enc = c.op | c.size << 22 | (c.op == REV ? 0u : 4u << 16) | 3u << 5 | 1u;
        ASSERT_EQ(emulate(*s, enc), DECODE_OK);
        Pred expect = all_false();
        if (c.dest != kNone) expect[(c.dest << c.size) + c.byte] = 1;
        EXPECT_EQ(predicate(*s, 1), expect);
    }
}

// ZIP1 P3.H, P3.H, P4.H: the destination is also the first source.
TEST(PredicatePermutes, DestinationIsASource) {
    auto s = garbage_state(9);
    set_pred(*s, 3, elements_at(1, {0, 1}));
    set_pred(*s, 4, elements_at(1, {1}));
    ASSERT_EQ(emulate(*s, ZIP1 | 1u << 22 | 4u << 16 | 3u << 5 | 3u), DECODE_OK);
    EXPECT_EQ(predicate(*s, 3), elements_at(1, {0, 2, 3}));
}

// UZP1 P4.B, P3.B, P4.B and UZP2 P4.B, P3.B, P4.B: the last results come from the top of Pm,
// which is also Pd.
TEST(PredicatePermutes, UnzipIntoTheSecondSource) {
    struct Case {
        Op op;
        std::initializer_list<unsigned> pm;
        std::initializer_list<unsigned> expect;
    } cases[] = {
        {UZP1, {160, 162, 190, 191}, {176, 177, 191}},
        {UZP2, {160, 161, 191}, {176, 191}},
    };
    for (const Case &c : cases) {
        auto s = garbage_state(12);
        set_pred(*s, 3, all_false());
        set_pred(*s, 4, bytes_at(c.pm));
        ASSERT_EQ(emulate(*s, c.op | 4u << 16 | 3u << 5 | 4u), DECODE_OK);
        EXPECT_EQ(predicate(*s, 4), bytes_at(c.expect)) << std::hex << c.op;
    }
}

struct UnpackCase {
    bool high;
    unsigned source_byte;
    unsigned dest; // halfword element, or kNone
};

TEST(PredicateUnpack, HalvesToHalfwords) {
    const UnpackCase cases[] = {
        {false, 0, 0}, {false, 5, 5},   {false, 95, 95},   {false, 96, kNone},
        {true, 96, 0}, {true, 191, 95}, {true, 95, kNone},
    };
    for (const UnpackCase &c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.high ? "hi " : "lo ") << c.source_byte);
        auto s = garbage_state(c.source_byte);
        set_pred(*s, 3, all_false());
        s->p[3][c.source_byte] = 1;
        ASSERT_EQ(emulate(*s, (c.high ? 0x05314000u : 0x05304000u) | 3u << 5 | 1u), DECODE_OK);
        EXPECT_EQ(predicate(*s, 1), c.dest == kNone ? all_false() : elements_at(1, {c.dest}));
    }
    auto s = garbage_state(1);
    set_pred(*s, 3, all_true());
    ASSERT_EQ(emulate(*s, 0x05314000u | 3u << 5 | 3u), DECODE_OK);
    Pred every_halfword = all_false();
    for (unsigned e = 0; e < 96; ++e)
        every_halfword[2 * e] = 1;
    EXPECT_EQ(predicate(*s, 3), every_halfword);
}

} // namespace
