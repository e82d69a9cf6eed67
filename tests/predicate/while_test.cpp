// WHILELT, WHILELO, WHILELS (executors) and WHILELE (kernels) at their boundaries: equal operands,
// the largest values of each width, the wrap of the increment, 32- against 64-bit views, XZR.
#include <cinttypes>

#include "tests/predicate/predicate_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

enum Op : uint32_t {
    // WHILE<cc> Pd.<T>, <R>n, <R>m: base | size << 22 | Rm << 16 | sf << 12 | Rn << 5 | Pd.
    LT = 0x25200400,
    LE = 0x25200410,
    LO = 0x25200c00,
    LS = 0x25200c10,
};
enum Width : uint32_t { W32 = 0, X64 = 1 };

struct WhileCase {
    Op op;
    unsigned size;
    Width width;
    uint64_t rn, rm;
    unsigned count; // leading true elements
};

const char *op_name(Op op) {
    switch (op) {
    case LT:
        return "whilelt";
    case LE:
        return "whilele";
    case LO:
        return "whilelo";
    default:
        return "whilels";
    }
}

// The flags of PredTest with an all-true mask over a result of `count` leading true elements out
// of `elements`.
uint64_t loop_flags(unsigned count, unsigned elements) {
    if (count == 0) return Z | C;
    return N | (count == elements ? 0 : C);
}

constexpr uint64_t kIntMax32 = 0x7fffffff, kUintMax32 = 0xffffffff;
constexpr uint64_t kIntMax64 = 0x7fffffffffffffff, kUintMax64 = ~uint64_t{0};

TEST(While, Boundaries) {
    const WhileCase cases[] = {
        // Rn = Rm: nothing below, one element at or below.
        {LT, 0, X64, 5, 5, 0},
        {LO, 1, W32, 5, 5, 0},
        {LS, 2, X64, 5, 5, 1},
        {LE, 3, W32, 5, 5, 1},
        {LO, 2, X64, 0, 3, 3},
        // Counting up to the end of the vector and beyond it.
        {LO, 0, X64, 10, 200, 190},
        {LO, 0, X64, 0, 191, 191},
        {LO, 0, X64, 0, 192, 192},
        {LO, 3, X64, 10, 200, 24},
        {LT, 1, X64, static_cast<uint64_t>(-3), 2, 5},
        // Signed against unsigned on the same bits.
        {LT, 0, X64, 0xfffffffffffffffe, 2, 4},
        {LO, 0, X64, 0xfffffffffffffffe, 2, 0},
        {LE, 0, X64, 0xfffffffffffffffe, 2, 5},
        {LE, 3, W32, 0xfffffffffffffffe, 2, 5},
        {LS, 0, W32, 0xfffffffffffffffe, 2, 0},
        {LT, 2, W32, 0x80000000, 0x80000010, 16},
        // The W view reads the low 32 bits only.
        {LT, 0, W32, 0x1fffffffe, 0x100000003, 5},
        {LT, 0, X64, 0x1fffffffe, 0x100000003, 0},
        {LE, 0, W32, 0x1fffffffe, 0x100000003, 6},
        {LO, 0, W32, 0x100000000, 5, 5},
        {LO, 0, X64, 0x100000000, 5, 0},
        // The largest value: nothing is below it; everything is at or below it, also past the wrap
        // of the increment.
        {LT, 0, W32, kIntMax32, kIntMax32, 0},
        {LO, 0, W32, kUintMax32, kUintMax32, 0},
        {LE, 0, W32, kIntMax32, kIntMax32, 192},
        {LE, 3, W32, 0x7ffffff0, kIntMax32, 24},
        {LE, 0, X64, kIntMax32, kIntMax32, 1}, // not the largest 64-bit value
        {LE, 0, X64, kIntMax64, kIntMax64, 192},
        {LS, 0, W32, kUintMax32, kUintMax32, 192},
        {LS, 3, W32, 0xfffffff0, kUintMax32, 24},
        {LS, 0, X64, kUintMax32, kUintMax32, 1},
        {LS, 0, X64, kUintMax64, kUintMax64, 192},
        {LS, 0, X64, 0xfffffffffffffff0, kUintMax64, 192},
        {LE, 0, X64, 0xfffffffffffffff0, kUintMax64, 16}, // -16 .. -1
        {LE, 0, X64, kUintMax64, kUintMax64, 1},
        {LS, 0, X64, 0x7ffffff0, kIntMax32, 16},
    };
    for (const WhileCase &c : cases) {
        auto s = garbage_state(c.count + c.size);
        s->x[4] = c.rn;
        s->x[17] = c.rm;
        const uint64_t initial = 0x12340000fu | V | C;
        s->nzcv = initial;
        const uint32_t encoding = c.op | c.size << 22 | 17u << 16 | c.width << 12 | 4u << 5 | 11;
        ASSERT_EQ(emulate(*s, encoding), DECODE_OK);
        const unsigned elements = kVectorBytes >> c.size;
        char what[128];
        std::snprintf(what, sizeof what, "%s size %u %s %#" PRIx64 ", %#" PRIx64, op_name(c.op),
                      c.size, c.width == W32 ? "w" : "x", c.rn, c.rm);
        EXPECT_EQ(predicate(*s, 11), leading_elements(c.count, c.size)) << what;
        // The kernel road (WHILELE) keeps only the low 32 bits of the NZCV field.
        const uint64_t kept = (c.op == LE ? initial & 0xffffffffu : initial) & ~kFlagBits;
        EXPECT_EQ(s->nzcv, kept | loop_flags(c.count, elements)) << what;
        EXPECT_EQ(s->x[4], c.rn);
        EXPECT_EQ(s->x[17], c.rm);
    }
}

// The first ordered-pair edge: Rn = Rm gives an all-false predicate and NZCV = 0110.
TEST(While, EqualOperandsGiveNoneAndZC) {
    for (Op op : {LT, LO})
        for (unsigned size = 0; size < 4; ++size) {
            auto s = garbage_state(size);
            s->x[2] = s->x[3] = 0x8000000000000000;
            ASSERT_EQ(emulate(*s, op | size << 22 | 3u << 16 | 1u << 12 | 2u << 5 | 0), DECODE_OK);
            EXPECT_EQ(predicate(*s, 0), leading_elements(0, size));
            EXPECT_EQ(s->nzcv & kFlagBits, Z | C);
        }
}

// Register 31 is XZR in both operand positions, whatever SP holds.
TEST(While, RegisterThirtyOneReadsZero) {
    auto s = garbage_state(31);
    s->sp = 100;
    s->x[1] = 5;
    // WHILELO P0.B, XZR, X1
    ASSERT_EQ(emulate(*s, LO | 1u << 16 | 1u << 12 | 31u << 5 | 0), DECODE_OK);
    EXPECT_EQ(predicate(*s, 0), leading_elements(5, 0));
    // WHILELS P1.H, W1, WZR with W1 = 0: only 0 <= 0.
    s->x[1] = 0xffffffff00000000;
    ASSERT_EQ(emulate(*s, LS | 1u << 22 | 31u << 16 | 1u << 5 | 1), DECODE_OK);
    EXPECT_EQ(predicate(*s, 1), leading_elements(1, 1));
    // WHILELE P2.S, WZR, WZR
    ASSERT_EQ(emulate(*s, LE | 2u << 22 | 31u << 16 | 31u << 5 | 2), DECODE_OK);
    EXPECT_EQ(predicate(*s, 2), leading_elements(1, 2));
}

} // namespace
