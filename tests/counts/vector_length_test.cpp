// RDVL, ADDVL and ADDPL: every immediate, the stack pointer at register 31, wrap-around.
#include "emulation_fixture.h"

using namespace counts_test;

namespace {

TEST(VectorLength, RdvlEveryImmediate) {
    for (int imm = -32; imm <= 31; ++imm) {
        const unsigned rd = static_cast<unsigned>(imm + 32) % 31;
        auto s = random_state(static_cast<uint32_t>(imm + 100));
        cpu_state want = *s;
        const uint32_t e = enc::rdvl(rd, imm);
        want.x[rd] = static_cast<uint64_t>(int64_t{imm} * 192);
        want.encoding = e;
        ASSERT_EQ(emulate(*s, e), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want), "") << "imm " << imm;
    }
}

TEST(VectorLength, RdvlExtremesAndZeroRegister) {
    auto s = random_state(1);
    ASSERT_EQ(emulate(*s, enc::rdvl(0, -1)), DECODE_OK);
    EXPECT_EQ(s->x[0], 0xffffffffffffff40u); // -192
    ASSERT_EQ(emulate(*s, enc::rdvl(0, -32)), DECODE_OK);
    EXPECT_EQ(s->x[0], 0xffffffffffffe800u); // -6144
    ASSERT_EQ(emulate(*s, enc::rdvl(0, 31)), DECODE_OK);
    EXPECT_EQ(s->x[0], 5952u);

    // Register 31 of RDVL is XZR, not SP.
    cpu_state want = *s;
    want.encoding = enc::rdvl(31, 7);
    ASSERT_EQ(emulate(*s, enc::rdvl(31, 7)), DECODE_OK);
    EXPECT_EQ(state_difference(*s, want), "");
}

struct AddCase {
    const char *name;
    uint32_t (*encode)(unsigned, unsigned, int);
    int64_t bytes_per_unit;
};

const AddCase kAdds[] = {{"addvl", enc::addvl, 192}, {"addpl", enc::addpl, 24}};

TEST(VectorLength, AddvlAddplEveryImmediateAndRegisterPair) {
    const unsigned regs[][2] = {{0, 1}, {31, 31}, {31, 5}, {6, 31}, {30, 30}, {9, 9}};
    const uint64_t bases[] = {0x1000, 0, ~uint64_t{0} - 100, 0x7ffffffffffffff0u};
    uint32_t seed = 300;
    for (const AddCase &add : kAdds)
        for (const auto &rr : regs)
            for (int imm = -32; imm <= 31; ++imm) {
                const unsigned rd = rr[0], rn = rr[1];
                const uint64_t base = bases[static_cast<unsigned>(imm + 32) % 4];
                auto s = random_state(seed++);
                set_x_or_sp(*s, rn, base);
                cpu_state want = *s;
                const uint32_t e = add.encode(rd, rn, imm);
                set_x_or_sp(want, rd, base + static_cast<uint64_t>(imm * add.bytes_per_unit));
                want.encoding = e;
                ASSERT_EQ(emulate(*s, e), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want), "")
                    << add.name << " rd " << rd << " rn " << rn << " imm " << imm;
                EXPECT_EQ(x_or_sp(*s, rd) - base, static_cast<uint64_t>(imm * add.bytes_per_unit));
            }
}

TEST(VectorLength, AddplMinusOneOnSp) {
    auto s = random_state(2);
    s->sp = 0x7fff0000;
    ASSERT_EQ(emulate(*s, enc::addpl(31, 31, -1)), DECODE_OK);
    EXPECT_EQ(s->sp, 0x7fff0000u - 24);
    ASSERT_EQ(emulate(*s, enc::addvl(31, 31, 1)), DECODE_OK);
    EXPECT_EQ(s->sp, 0x7fff0000u - 24 + 192);
}

} // namespace
