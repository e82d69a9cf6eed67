// CTERMEQ and CTERMNE on 32-bit and 64-bit operands from every starting flag state, and the
// first-fault register instructions SETFFR, WRFFR, RDFFR and RDFFRS.
#include "tests/predicate_ops/pred_ops_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

struct CtermCase {
    const char *what;
    bool ne, x64;
    uint64_t rn, rm;
    bool terminates;
};

TEST(Cterm, FlagsFromEveryStartingState) {
    const CtermCase cases[] = {
        {"eq w, upper halves ignored", false, false, 0xffffffff00000005, 5, true},
        {"eq x, upper halves differ", false, true, 0xffffffff00000005, 5, false},
        {"eq x, equal", false, true, 0x8000000000000000, 0x8000000000000000, true},
        {"ne w, differ", true, false, 5, 6, true},
        {"ne w, equal low halves", true, false, 0x100000007, 7, false},
        {"ne x, equal", true, true, 42, 42, false},
        {"ne x, differ only above bit 31", true, true, 0x100000007, 7, true},
    };
    const uint64_t starts[] = {0, N | Z | C | V, Z | C, V, C, N | Z, 0xf00 | C};
    for (const CtermCase &c : cases)
        for (uint64_t start : starts) {
            SCOPED_TRACE(::testing::Message() << c.what << ", nzcv " << std::hex << start);
            auto s = garbage_state(3);
            s->x[1] = c.rn;
            s->x[2] = c.rm;
            s->nzcv = start;
            const uint32_t enc =
                0x25a02000 | (c.x64 ? 1u << 22 : 0u) | 2u << 16 | 1u << 5 | (c.ne ? 1u << 4 : 0u);
            ASSERT_EQ(emulate(*s, enc), DECODE_OK);
            const uint64_t kept = start & ~(N | V);
            const uint64_t want = c.terminates ? kept | N : kept | ((start & C) ? 0 : V);
            EXPECT_EQ(s->nzcv, want);
            EXPECT_EQ(s->x[1], c.rn);
        }
}

// CTERMEQ X1, XZR: the zero register reads as 0.
TEST(Cterm, ZeroRegister) {
    auto s = garbage_state(4);
    s->x[1] = 0;
    s->nzcv = C;
    ASSERT_EQ(emulate(*s, 0x25a02000 | 1u << 22 | 31u << 16 | 1u << 5), DECODE_OK);
    EXPECT_EQ(s->nzcv, N | C);
}

TEST(Ffr, SetWriteRead) {
    auto s = garbage_state(5);
    const uint64_t nzcv = s->nzcv;
    ASSERT_EQ(emulate(*s, 0x252c9000), DECODE_OK);      // SETFFR
    ASSERT_EQ(emulate(*s, 0x2519f000 | 1u), DECODE_OK); // RDFFR P1.B
    EXPECT_EQ(predicate(*s, 1), all_true());

    set_pred(*s, 3, all_false());
    ASSERT_EQ(emulate(*s, 0x25289000 | 3u << 5), DECODE_OK); // WRFFR P3.B
    ASSERT_EQ(emulate(*s, 0x2519f000 | 1u), DECODE_OK);
    EXPECT_EQ(predicate(*s, 1), all_false());

    set_pred(*s, 3, bytes_at({0, 77, 191}));
    ASSERT_EQ(emulate(*s, 0x25289000 | 3u << 5), DECODE_OK);
    EXPECT_EQ(std::vector<uint8_t>(s->ffr, s->ffr + kVectorBytes), bytes_at({0, 77, 191}));
    EXPECT_EQ(s->nzcv, nzcv);
}

struct RdffrCase {
    const char *what;
    bool flags;
    Pred ffr, pg, expect;
    uint64_t nzcv;
};

TEST(Ffr, PredicatedRead) {
    const RdffrCase cases[] = {
        {"rdffr", false, byte_range(0, 99), byte_range(50, 150), byte_range(50, 99), 0},
        {"rdffrs", true, byte_range(0, 99), byte_range(50, 150), byte_range(50, 99), N | C},
        {"rdffrs, all kept", true, all_true(), byte_range(50, 150), byte_range(50, 150), N},
        {"rdffrs, FFR clear", true, all_false(), all_true(), all_false(), Z | C},
        {"rdffrs, Pg clear", true, all_true(), all_false(), all_false(), Z | C},
    };
    for (const RdffrCase &c : cases) {
        SCOPED_TRACE(c.what);
        auto s = garbage_state(6);
        s->nzcv = V | 0x11;
        std::memcpy(s->ffr, c.ffr.data(), kVectorBytes);
        set_pred(*s, 2, c.pg);
        ASSERT_EQ(emulate(*s, (c.flags ? 0x2558f000u : 0x2518f000u) | 2u << 5 | 1u), DECODE_OK);
        EXPECT_EQ(predicate(*s, 1), c.expect);
        EXPECT_EQ(s->nzcv, c.flags ? c.nzcv | 0x11 : V | 0x11);
        EXPECT_EQ(std::vector<uint8_t>(s->ffr, s->ffr + kVectorBytes), c.ffr);
    }
}

// RDFFR P2.B, P2/Z: Pg is read before it is overwritten.
TEST(Ffr, DestinationIsGoverning) {
    auto s = garbage_state(7);
    std::memcpy(s->ffr, byte_range(10, 20).data(), kVectorBytes);
    set_pred(*s, 2, byte_range(15, 30));
    ASSERT_EQ(emulate(*s, 0x2518f000 | 2u << 5 | 2u), DECODE_OK);
    EXPECT_EQ(predicate(*s, 2), byte_range(15, 20));
}

} // namespace
