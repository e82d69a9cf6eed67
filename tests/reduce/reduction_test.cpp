// Integer reductions: every operation at every element size against sums, extremes and bitwise
// folds computed here on plain integers, the values of an empty fold, the predicate rule and the
// rewrite of the whole destination register.
#include "reduce_fixture.h"

#include <algorithm>
#include <vector>

#include "sve/decode/handlers.h"

using namespace reduce_test;

namespace {

enum class Op { saddv, uaddv, smaxv, umaxv, sminv, uminv, andv, orv, eorv };

struct OpInfo {
    Op op;
    const char *name;
    uint32_t opc; // bits 20..16
    bool has_d;   // SADDV has no doubleword form
};
constexpr OpInfo kOps[] = {
    {Op::saddv, "saddv", 0x00, false}, {Op::uaddv, "uaddv", 0x01, true},
    {Op::smaxv, "smaxv", 0x08, true},  {Op::umaxv, "umaxv", 0x09, true},
    {Op::sminv, "sminv", 0x0a, true},  {Op::uminv, "uminv", 0x0b, true},
    {Op::andv, "andv", 0x1a, true},    {Op::orv, "orv", 0x18, true},
    {Op::eorv, "eorv", 0x19, true},
};

uint32_t encode(const OpInfo &op, unsigned size, unsigned vd, unsigned pg, unsigned zn) {
    return 0x04002000u | size << 22 | op.opc << 16 | pg << 10 | zn << 5 | vd;
}

// The reduction of `values` (the active elements, in order) written with plain integers.
uint64_t reference(Op op, unsigned bytes, const std::vector<uint64_t> &values, uint64_t empty) {
    if (values.empty()) return empty;
    uint64_t u = op == Op::eorv ? 0 : values[0]; // x ^ x would cancel the first element
    int64_t s = sign_extend(values[0], bytes);
    uint64_t sum = 0;
    int64_t ssum = 0;
    for (uint64_t v : values) {
        sum += v;
        ssum = static_cast<int64_t>(static_cast<uint64_t>(ssum) +
                                    static_cast<uint64_t>(sign_extend(v, bytes)));
        switch (op) {
        case Op::smaxv:
            s = std::max(s, sign_extend(v, bytes));
            break;
        case Op::sminv:
            s = std::min(s, sign_extend(v, bytes));
            break;
        case Op::umaxv:
            u = std::max(u, v);
            break;
        case Op::uminv:
            u = std::min(u, v);
            break;
        case Op::andv:
            u &= v;
            break;
        case Op::orv:
            u |= v;
            break;
        case Op::eorv:
            u ^= v;
            break;
        default:
            break;
        }
    }
    switch (op) {
    case Op::saddv:
        return static_cast<uint64_t>(ssum);
    case Op::uaddv:
        return sum;
    case Op::smaxv:
    case Op::sminv:
        return low_bits(static_cast<uint64_t>(s), bytes);
    default:
        return u;
    }
}

// The value of a reduction over no element, per operation and size, written out.
uint64_t empty_value(Op op, unsigned size) {
    static const uint64_t smax[4] = {0x80, 0x8000, 0x80000000, 0x8000000000000000};
    static const uint64_t smin[4] = {0x7f, 0x7fff, 0x7fffffff, 0x7fffffffffffffff};
    static const uint64_t ones[4] = {0xff, 0xffff, 0xffffffff, 0xffffffffffffffff};
    switch (op) {
    case Op::smaxv:
        return smax[size];
    case Op::sminv:
        return smin[size];
    case Op::uminv:
    case Op::andv:
        return ones[size];
    default:
        return 0;
    }
}

// Bytes of Vd the result occupies: 8 for the sums, the element size otherwise.
unsigned result_bytes(Op op, unsigned size) {
    return op == Op::saddv || op == Op::uaddv ? 8 : 1u << size;
}

cpu_state expected_after(const cpu_state &before, unsigned vd, uint64_t result, unsigned bytes) {
    cpu_state want = before;
    std::memset(want.z[vd], 0, kBytes);
    std::memcpy(want.z[vd], &result, bytes);
    return want;
}

// Active elements of Zn under Pg, by bit 0 of each element's first predicate byte.
std::vector<uint64_t> active_elements(const cpu_state &s, unsigned pg, unsigned zn, unsigned size) {
    const unsigned bytes = 1u << size;
    std::vector<uint64_t> out;
    for (unsigned i = 0; i < kBytes / bytes; ++i)
        if (s.p[pg][i * bytes] & 1) out.push_back(z_element(s, zn, bytes, i));
    return out;
}

TEST(Reductions, EveryOperationAndSizeOnRandomRegisters) {
    uint64_t seed = 1;
    for (const OpInfo &op : kOps)
        for (unsigned size = 0; size < (op.has_d ? 4u : 3u); ++size)
            for (int round = 0; round < 8; ++round) {
                const unsigned vd = (seed * 7) % 32, pg = seed % 8, zn = (seed * 13 + 5) % 32;
                auto s = random_state(seed++);
                // Sparse, dense and full predicates.
                if (round == 1)
                    for (auto &b : s->p[pg])
                        b = 1;
                if (round == 2)
                    for (unsigned i = 0; i < kBytes; ++i)
                        s->p[pg][i] = (i % 37) == 0;
                const std::vector<uint64_t> active = active_elements(*s, pg, zn, size);
                const uint64_t result =
                    reference(op.op, 1u << size, active, empty_value(op.op, size));
                const cpu_state want = expected_after(*s, vd, result, result_bytes(op.op, size));
                ASSERT_EQ(emulate(*s, encode(op, size, vd, pg, zn)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << op.name << " size " << size << " round " << round;
            }
}

TEST(Reductions, NoActiveElementGivesTheIdentity) {
    uint64_t seed = 100;
    for (const OpInfo &op : kOps)
        for (unsigned size = 0; size < (op.has_d ? 4u : 3u); ++size) {
            auto s = random_state(seed++);
            // Only non-first bytes of elements set: no element is active.
            for (unsigned i = 0; i < kBytes; ++i)
                s->p[3][i] = size > 0 && (i % (1u << size)) != 0;
            const cpu_state want =
                expected_after(*s, 4, empty_value(op.op, size), result_bytes(op.op, size));
            ASSERT_EQ(emulate(*s, encode(op, size, 4, 3, 9)), DECODE_OK);
            EXPECT_EQ(state_difference(*s, want, kCompared), "") << op.name << " size " << size;
        }
}

TEST(Reductions, KnownResults) {
    struct Case {
        Op op;
        unsigned size;
        uint64_t fill;   // every element of Zn
        uint64_t result; // written out
    } cases[] = {
        {Op::uaddv, 0, 0xff, 48960},                                      // 192 x 255
        {Op::saddv, 0, 0x80, static_cast<uint64_t>(-24576)},              // 192 x -128
        {Op::saddv, 1, 0x8000, static_cast<uint64_t>(-3145728)},          // 96 x -32768
        {Op::saddv, 2, 0x80000000, static_cast<uint64_t>(-103079215104)}, // 48 x -2^31
        {Op::saddv, 2, 0x7fffffff, 103079215056},                         // 48 x (2^31 - 1)
        {Op::uaddv, 3, 0x8000000000000000, 0},                            // 24 x 2^63 wraps
        {Op::uaddv, 2, 0xffffffff, 206158430160},                         // 48 x (2^32 - 1)
        {Op::smaxv, 0, 0x80, 0x80},
        {Op::uminv, 3, 0x8000000000000000, 0x8000000000000000},
        {Op::eorv, 1, 0x1234, 0}, // an even number of equal elements cancels
        {Op::andv, 2, 0xa5a5a5a5, 0xa5a5a5a5},
    };
    for (const Case &c : cases) {
        const OpInfo &op = *std::find_if(std::begin(kOps), std::end(kOps),
                                         [&](const OpInfo &o) { return o.op == c.op; });
        auto s = random_state(c.size * 31 + c.fill);
        for (auto &b : s->p[1])
            b = 1;
        for (unsigned i = 0; i < (kBytes >> c.size); ++i)
            set_z_element(*s, 2, 1u << c.size, i, c.fill);
        const cpu_state want = expected_after(*s, 0, c.result, result_bytes(c.op, c.size));
        ASSERT_EQ(emulate(*s, encode(op, c.size, 0, 1, 2)), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want, kCompared), "") << op.name << " size " << c.size;
    }
}

TEST(Reductions, ExtremesPickTheRightSignedness) {
    // 0x7f and 0x80 alone: signed and unsigned orders disagree.
    struct Case {
        Op op;
        uint64_t result;
    } cases[] = {{Op::smaxv, 0x7f}, {Op::umaxv, 0x80}, {Op::sminv, 0x80}, {Op::uminv, 0x7f}};
    for (const Case &c : cases) {
        const OpInfo &op = *std::find_if(std::begin(kOps), std::end(kOps),
                                         [&](const OpInfo &o) { return o.op == c.op; });
        auto s = random_state(7);
        std::memset(s->p[0], 0, kBytes);
        s->p[0][10] = s->p[0][191] = 1;
        s->z[5][10] = 0x7f;
        s->z[5][191] = 0x80;
        const cpu_state want = expected_after(*s, 6, c.result, 1);
        ASSERT_EQ(emulate(*s, encode(op, 0, 6, 0, 5)), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want, kCompared), "") << op.name;
    }
}

TEST(Reductions, DestinationThatIsTheSourceIsReadFirst) {
    for (const OpInfo &op : kOps) {
        auto s = random_state(55);
        const std::vector<uint64_t> active = active_elements(*s, 2, 8, 1);
        const uint64_t result = reference(op.op, 2, active, empty_value(op.op, 1));
        const cpu_state want = expected_after(*s, 8, result, result_bytes(op.op, 1));
        ASSERT_EQ(emulate(*s, encode(op, 1, 8, 2, 8)), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want, kCompared), "") << op.name;
    }
}

TEST(Reductions, SignedSumKernelFollowsTheContextVectorLength) {
    VecValue zn;
    for (unsigned i = 0; i < sizeof zn.bytes; ++i)
        zn.bytes[i] = 0xff; // -1 in every element
    PredV all;
    all.words[0] = all.words[1] = all.words[2] = all.words[3] = ~uint64_t{0};
    CpuContext ctx{};
    struct Case {
        uint32_t vl;
        int64_t bytes, halves, words;
    } cases[] = {{2, -16, -8, -4}, {24, -192, -96, -48}, {32, -256, -128, -64}, {0, 0, 0, 0}};
    for (const Case &c : cases) {
        ctx.vl = c.vl;
        EXPECT_EQ(VecS8AddReduceV(all, zn, &ctx), static_cast<uint64_t>(c.bytes)) << c.vl;
        EXPECT_EQ(VecS16AddReduceV(all, zn, &ctx), static_cast<uint64_t>(c.halves)) << c.vl;
        EXPECT_EQ(VecS32AddReduceV(all, zn, &ctx), static_cast<uint64_t>(c.words)) << c.vl;
    }
    // Halfword elements look at every second predicate bit only.
    PredV odd;
    odd.words[0] = odd.words[1] = odd.words[2] = odd.words[3] = 0xaaaaaaaaaaaaaaaau;
    ctx.vl = 24;
    EXPECT_EQ(VecS16AddReduceV(odd, zn, &ctx), 0u);
}

} // namespace
