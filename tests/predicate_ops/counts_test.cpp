// CNTP, INCP and DECP (scalar and vector) and the saturating SQINCP, UQINCP, SQDECP, UQDECP: XZR,
// wrap-around, the limits of 32-bit and 64-bit scalars and of each vector element size, and the
// 32-bit forms' extension into Xdn.
#include "tests/predicate_ops/pred_ops_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

constexpr uint64_t kI32Max = 0x7fffffff, kI64Max = 0x7fffffffffffffff;
constexpr uint64_t kI64Min = 0x8000000000000000, kAll = ~uint64_t{0};

// The predicate of `count` leading true elements of 1 << size bytes.
Pred leading(unsigned count, unsigned size) {
    return leading_elements(count, size);
}

TEST(Cntp, CountsElementsActiveInBoth) {
    struct Case {
        unsigned size;
        Pred pg, pn;
        uint64_t expect;
    };
    Pred non_first = all_true(); // every byte but the first of each word
    for (unsigned i = 0; i < kVectorBytes; i += 4)
        non_first[i] = 0;
    const Case cases[] = {
        {0, all_true(), all_true(), 192},
        {1, all_true(), all_true(), 96},
        {3, all_true(), all_true(), 24},
        {1, leading(10, 1), elements_at(1, {5, 9, 10, 95}), 2},
        {2, all_true(), non_first, 0},
        {3, bytes_at({8, 17}), all_true(), 1}, // byte 17 is inside doubleword 2, not its first
        {0, all_false(), all_true(), 0},
    };
    for (const Case &c : cases) {
        auto s = garbage_state(c.size);
        set_pred(*s, 2, c.pg);
        set_pred(*s, 3, c.pn);
        ASSERT_EQ(emulate(*s, 0x25208000 | c.size << 22 | 2u << 10 | 3u << 5 | 5u), DECODE_OK);
        EXPECT_EQ(s->x[5], c.expect) << "size " << c.size;
    }
}

TEST(Cntp, IntoXzrChangesNothing) {
    auto s = garbage_state(21);
    set_pred(*s, 2, all_true());
    set_pred(*s, 3, all_true());
    const auto before = std::make_unique<cpu_state>(*s);
    ASSERT_EQ(emulate(*s, 0x25208000 | 2u << 10 | 3u << 5 | 31u), DECODE_OK);
    s->encoding = before->encoding; // the decode function records the encoding it runs
    EXPECT_EQ(std::memcmp(s.get(), before.get(), sizeof(cpu_state)), 0);
}

struct ScalarCase {
    const char *what;
    uint32_t base;
    unsigned size, count; // Pm: `count` leading elements of 1 << size bytes
    uint64_t before, after;
};

void run_scalar(const std::vector<ScalarCase> &cases, unsigned reg = 5) {
    for (const ScalarCase &c : cases) {
        SCOPED_TRACE(c.what);
        auto s = garbage_state(c.count);
        set_pred(*s, 3, leading(c.count, c.size));
        if (reg != 31) {
            s->x[reg] = c.before;
        }
        const uint64_t nzcv = s->nzcv = Z | C | 0x3;
        ASSERT_EQ(emulate(*s, c.base | c.size << 22 | 3u << 5 | reg), DECODE_OK);
        if (reg != 31) {
            EXPECT_EQ(s->x[reg], c.after);
        }
        EXPECT_EQ(s->nzcv, nzcv) << "counts set no flags";
    }
}

enum : uint32_t {
    INCP_X = 0x252c8800,
    DECP_X = 0x252d8800,
    SQINCP_W = 0x25288800,
    UQINCP_W = 0x25298800,
    SQDECP_W = 0x252a8800,
    UQDECP_W = 0x252b8800,
    SQINCP_X = 0x25288c00,
    UQINCP_X = 0x25298c00,
    SQDECP_X = 0x252a8c00,
    UQDECP_X = 0x252b8c00,
};

TEST(CountScalar, IncpDecpWrap) {
    run_scalar({
        {"incp bytes", INCP_X, 0, 192, 1000, 1192},
        {"incp wraps", INCP_X, 0, 192, static_cast<uint64_t>(-64), 128},
        {"incp doublewords", INCP_X, 3, 24, 0, 24},
        {"incp halfwords", INCP_X, 1, 7, 0, 7},
        {"decp wraps", DECP_X, 3, 24, 10, static_cast<uint64_t>(-14)},
        {"decp nothing active", DECP_X, 2, 0, 77, 77},
    });
}

TEST(CountScalar, IncpIntoXzr) {
    auto s = garbage_state(2);
    set_pred(*s, 3, all_true());
    const auto before = std::make_unique<cpu_state>(*s);
    ASSERT_EQ(emulate(*s, INCP_X | 3u << 5 | 31u), DECODE_OK);
    EXPECT_EQ(std::memcmp(s->x, before->x, sizeof s->x), 0);
    EXPECT_EQ(s->sp, before->sp);
}

TEST(CountScalar, Saturating32) {
    run_scalar({
        {"sqincp w below the limit", SQINCP_W, 0, 192, 0x7fffff00, 0x7fffffc0},
        {"sqincp w saturates", SQINCP_W, 0, 192, kI32Max - 100, kI32Max},
        {"sqincp w reads only Wdn", SQINCP_W, 3, 24, 0xdeadbeeffffffff0, 8},
        {"sqincp w sign-extends", SQINCP_W, 0, 0, 0xdeadbeef80000000, 0xffffffff80000000},
        {"sqdecp w saturates", SQDECP_W, 0, 192, 0x80000010, 0xffffffff80000000},
        {"sqdecp w goes negative", SQDECP_W, 3, 24, 5, static_cast<uint64_t>(-19)},
        {"sqdecp w at the limit", SQDECP_W, 2, 1, 0x80000001, 0xffffffff80000000},
        {"uqincp w saturates", UQINCP_W, 0, 192, 0xfffffff0, 0xffffffff},
        {"uqincp w zero-extends", UQINCP_W, 0, 192, 0x1234567800000010, 0xd0},
        {"uqincp w passes through", UQINCP_W, 1, 0, 0xdeadbeef80000000, 0x80000000},
        {"uqdecp w saturates at 0", UQDECP_W, 0, 192, 100, 0},
        {"uqdecp w reads only Wdn", UQDECP_W, 0, 192, 0x1000000c8, 8},
        {"halfword elements count", SQINCP_W, 1, 96, kI32Max - 96, kI32Max},
    });
}

TEST(CountScalar, Saturating64) {
    run_scalar({
        {"sqincp x below the limit", SQINCP_X, 0, 192, 0x7fffffffffffff00, 0x7fffffffffffffc0},
        {"sqincp x saturates", SQINCP_X, 3, 24, kI64Max - 10, kI64Max},
        {"sqincp x crosses zero", SQINCP_X, 3, 24, static_cast<uint64_t>(-10), 14},
        {"sqdecp x saturates", SQDECP_X, 0, 192, 0x8000000000000010, kI64Min},
        {"uqincp x saturates", UQINCP_X, 0, 192, 0xffffffffffffff80, kAll},
        {"uqincp x no 32-bit limit", UQINCP_X, 0, 192, 0xffffffff, 0x1000000bf},
        {"uqdecp x saturates", UQDECP_X, 0, 192, 191, 0},
        {"uqdecp x exactly zero", UQDECP_X, 0, 192, 192, 0},
        {"uqdecp x one above", UQDECP_X, 0, 192, 193, 1},
    });
}

TEST(CountScalar, SaturatingIntoXzr) {
    run_scalar({{"sqincp xzr", SQINCP_X, 0, 192, 0, 0}, {"uqdecp wzr", UQDECP_W, 0, 192, 0, 0}},
               31);
}

struct VectorCase {
    const char *what;
    uint32_t base;
    unsigned size, count;
    std::vector<uint64_t> before, after; // leading elements of Zdn; the rest hold 0 before
};

template <typename T> void check_vector(const VectorCase &c) {
    auto s = garbage_state(c.count);
    set_pred(*s, 3, leading(c.count, c.size));
    std::memset(s->z[5], 0, kVectorBytes);
    for (std::size_t i = 0; i < c.before.size(); ++i) {
        const T v = static_cast<T>(c.before[i]);
        std::memcpy(s->z[5] + i * sizeof(T), &v, sizeof(T));
    }
    const uint64_t nzcv = s->nzcv = N | V | 0x3;
    ASSERT_EQ(emulate(*s, c.base | c.size << 22 | 3u << 5 | 5u), DECODE_OK);
    for (std::size_t i = 0; i < c.after.size(); ++i) {
        T v;
        std::memcpy(&v, s->z[5] + i * sizeof(T), sizeof(T));
        EXPECT_EQ(v, static_cast<T>(c.after[i])) << "element " << i;
    }
    EXPECT_EQ(s->nzcv, nzcv);
}

enum : uint32_t {
    INCP_Z = 0x252c8000,
    DECP_Z = 0x252d8000,
    SQINCP_Z = 0x25288000,
    UQINCP_Z = 0x25298000,
    SQDECP_Z = 0x252a8000,
    UQDECP_Z = 0x252b8000,
};

TEST(CountVector, WrapAndSaturate) {
    const VectorCase cases[] = {
        {"incp h wraps", INCP_Z, 1, 96, {0xffff, 0, 5}, {95, 96, 101}},
        {"decp d wraps", DECP_Z, 3, 3, {1, 3}, {kAll - 1, 0}},
        {"decp s, no element active", DECP_Z, 2, 0, {7}, {7}},
        {"sqincp h",
         SQINCP_Z,
         1,
         96,
         {0x7fff, 0x7fa0, 0x7f9f, 0xfff0},
         {0x7fff, 0x7fff, 0x7fff, 80}},
        {"uqincp h", UQINCP_Z, 1, 96, {0xffa0, 0xff9f, 0}, {0xffff, 0xffff, 96}},
        {"sqdecp s",
         SQDECP_Z,
         2,
         48,
         {0x80000010, 0, 0x7fffffff},
         {0x80000000, 0xffffffd0, 0x7fffffcf}},
        {"uqdecp s", UQDECP_Z, 2, 48, {47, 48, 49, 0xffffffff}, {0, 0, 1, 0xffffffcf}},
        {"sqincp d",
         SQINCP_Z,
         3,
         24,
         {kI64Max - 23, kI64Max - 24, kI64Min},
         {kI64Max, kI64Max, kI64Min + 24}},
        {"sqdecp d",
         SQDECP_Z,
         3,
         24,
         {kI64Min + 23, kI64Min + 24, 0},
         {kI64Min, kI64Min, static_cast<uint64_t>(-24)}},
        {"uqdecp d", UQDECP_Z, 3, 24, {23, 25}, {0, 1}},
        {"uqincp d", UQINCP_Z, 3, 24, {kAll - 23, kAll - 24}, {kAll, kAll}},
    };
    for (const VectorCase &c : cases) {
        SCOPED_TRACE(c.what);
        switch (c.size) {
        case 1:
            check_vector<uint16_t>(c);
            break;
        case 2:
            check_vector<uint32_t>(c);
            break;
        default:
            check_vector<uint64_t>(c);
            break;
        }
    }
}

} // namespace
