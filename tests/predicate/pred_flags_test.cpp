// PredTest in both forms (predicate bytes of cpu_state, PredV bits of a kernel context), the
// element searches, and PTEST and PFALSE through their decode functions.
#include "sve/exec/integer/pred_flags.h"
#include "tests/predicate/predicate_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

// Predicate bytes with bit 0 set at the given byte indices; `stray` fills every other byte with
// bits above bit 0, which must not count.
std::vector<uint8_t> bytes_at(std::initializer_list<unsigned> set, uint8_t stray = 0) {
    std::vector<uint8_t> p(kVectorBytes, stray);
    for (unsigned i : set)
        p[i] = 1;
    return p;
}
std::vector<uint8_t> all_bytes() {
    return std::vector<uint8_t>(kVectorBytes, 1);
}

struct PtestCase {
    const char *name;
    std::vector<uint8_t> mask, result;
    uint64_t flags;
};

// PTEST Pg, Pn.B: 0x2550c000 | Pg << 10 | Pn << 5.
TEST(Ptest, FlagsFollowPredTestAtByteGranularity) {
    const std::vector<PtestCase> cases = {
        {"no active element", bytes_at({}), all_bytes(), Z | C},
        {"active, none set", all_bytes(), bytes_at({}), Z | C},
        {"all set", all_bytes(), all_bytes(), N},
        {"only the first set", all_bytes(), bytes_at({0}), N | C},
        {"only the last set", all_bytes(), bytes_at({191}), 0},
        {"one active, set", bytes_at({28}), bytes_at({28}), N},
        {"last active, result elsewhere", bytes_at({191}), bytes_at({0}), Z | C},
        {"stray upper bits are not bits", bytes_at({5}, 0xfe), bytes_at({}, 0xfe), Z | C},
        {"first active clear, later set", bytes_at({3, 9, 40}), bytes_at({9}), C},
    };
    for (const PtestCase &c : cases) {
        auto s = garbage_state(1);
        std::memcpy(s->p[6], c.mask.data(), kVectorBytes);
        std::memcpy(s->p[1], c.result.data(), kVectorBytes);
        const uint64_t other_bits = 0x123400000000000full;
        s->nzcv = other_bits | kFlagBits;
        ASSERT_EQ(emulate(*s, 0x2550c000 | 6 << 10 | 1 << 5), DECODE_OK) << c.name;
        EXPECT_EQ(s->nzcv, other_bits | c.flags) << c.name;
        EXPECT_EQ(predicate(*s, 1), c.result) << c.name << ": PTEST wrote its operand";
    }
}

TEST(Ptest, ElementStepSkipsNonFirstBytes) {
    // Byte 1 is active only at byte granularity; with halfword steps it is not an element.
    const auto mask = bytes_at({1, 4}), result = bytes_at({1});
    cpu_state s{};
    sve_ptest<unsigned char>(&s, mask.data(), result.data());
    EXPECT_EQ(s.nzcv, N | C);
    sve_ptest<short>(&s, mask.data(), result.data());
    EXPECT_EQ(s.nzcv, Z | C);
    // Words: elements at 0, 4, 8 ...; the last active word is 188.
    const auto words = bytes_at({0, 188}), last_clear = bytes_at({0});
    sve_ptest<int>(&s, words.data(), last_clear.data());
    EXPECT_EQ(s.nzcv, N | C);
    sve_ptest<unsigned long>(&s, words.data(), last_clear.data()); // 188 is no doubleword start
    EXPECT_EQ(s.nzcv, N);
}

PredV pred_bits(std::initializer_list<unsigned> set) {
    PredV p;
    p.clear();
    for (unsigned b : set)
        p.set_bit(b, true);
    return p;
}
PredV pred_all() {
    PredV p;
    for (uint64_t &w : p.words)
        w = ~uint64_t{0};
    return p;
}

struct NzcCase {
    const char *name;
    PredV mask, result;
    unsigned esize, vl;
    uint32_t flags;
};

TEST(PredSetNZC, FirstBitForNAnyBitForZAndC) {
    const std::vector<NzcCase> cases = {
        {"no elements at VL 0", pred_all(), pred_all(), 8, 0, 0x60000000},
        {"first active set", pred_all(), pred_bits({0}), 8, 24, 0xa0000000},
        // Halfword element 0 has only its second bit set: not N, but it counts for Z and C.
        {"upper bit of an element", pred_bits({0}), pred_bits({1}), 16, 24, 0x00000000},
        {"upper bit at byte size is its own element", pred_bits({0}), pred_bits({1}), 8, 24,
         0x60000000},
        {"elements beyond VL are ignored", pred_bits({0, 20}), pred_bits({20}), 8, 2, 0x60000000},
        {"last active of doublewords", pred_bits({0, 184}), pred_bits({0, 185}), 64, 24,
         0x80000000},
    };
    for (const NzcCase &c : cases) {
        CpuContext ctx{};
        ctx.vl = c.vl;
        ctx.nzcv = 0x1000000f; // V and unrelated bits set
        PredSetNZC(c.mask, c.result, c.esize, &ctx);
        EXPECT_EQ(ctx.nzcv, c.flags | 0x1000000f) << c.name << ": V must be kept";
        ctx.nzcv = 0x1000000f;
        PredSetNZCV(c.mask, c.result, c.esize, &ctx);
        EXPECT_EQ(ctx.nzcv, c.flags | 0xf) << c.name << ": V must be cleared";
    }
}

TEST(FindActive, FirstAndLastElementOrAllOnes) {
    CpuContext ctx{};
    ctx.vl = 24;
    const PredV p = pred_bits({3, 8, 100, 191});
    EXPECT_EQ(FindFirstActive(p, 8, &ctx), 3u);
    EXPECT_EQ(FindLastActive(p, 8, &ctx), 191u);
    EXPECT_EQ(FindFirstActive(p, 16, &ctx), 4u); // byte 8 starts halfword 4; byte 3 starts none
    EXPECT_EQ(FindLastActive(p, 32, &ctx), 25u); // byte 100 starts word 25
    EXPECT_EQ(FindFirstActive(pred_bits({}), 8, &ctx), 0xffffffffu);
    EXPECT_EQ(FindLastActive(pred_bits({}), 64, &ctx), 0xffffffffu);
    ctx.vl = 2; // 16 bytes: only byte 3 and byte 8 are inside
    EXPECT_EQ(FindLastActive(p, 8, &ctx), 8u);
}

// PFALSE Pd: 0x2518e400 | Pd.
TEST(Pfalse, ClearsEveryByteAndNothingElse) {
    auto s = garbage_state(7);
    cpu_state before;
    std::memcpy(&before, s.get(), sizeof before);
    ASSERT_EQ(emulate(*s, 0x2518e400 | 13), DECODE_OK);
    EXPECT_EQ(predicate(*s, 13), std::vector<uint8_t>(kVectorBytes, 0));
    std::memcpy(before.p[13], s->p[13], kVectorBytes);
    before.encoding = s->encoding;
    EXPECT_EQ(std::memcmp(&before, s.get(), sizeof before), 0);
}

} // namespace
