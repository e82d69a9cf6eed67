// DUP from a register and from an immediate, and INDEX in its four forms: every element size,
// immediates at their extremes, register 31, and wrap-around modulo the element size.
#include "emulation_fixture.h"

using namespace counts_test;

namespace {

TEST(Moves, DupFromRegisterEverySize) {
    const uint64_t values[] = {0x8877665544332211u, 0, ~uint64_t{0}, 0x00000000ffff7f80u};
    uint32_t seed = 10;
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned rn : {0u, 12u, 30u, 31u})
            for (uint64_t v : values) {
                const unsigned zd = (rn + size) % 32, bytes = 1u << size;
                auto s = random_state(seed++);
                (rn == 31 ? s->sp : s->x[rn]) = v; // register 31 is SP here
                cpu_state want = *s;
                for (unsigned i = 0; i < kBytes / bytes; ++i)
                    set_z_element(want, zd, bytes, i, low_bits(v, bytes));
                const uint32_t e = enc::dup_r(size, zd, rn);
                want.encoding = e;
                ASSERT_EQ(emulate(*s, e), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want), "") << "size " << size << " rn " << rn;
            }
}

TEST(Moves, DupFromImmediateEveryValue) {
    uint32_t seed = 50;
    for (unsigned size = 0; size < 4; ++size)
        for (bool lsl8 : {false, true}) {
            if (size == 0 && lsl8) continue; // no shifted form for bytes
            for (int imm8 = -128; imm8 <= 127; ++imm8) {
                const unsigned zd = static_cast<unsigned>(imm8 + 128) % 32, bytes = 1u << size;
                auto s = random_state(seed++);
                cpu_state want = *s;
                const int64_t value = lsl8 ? int64_t{imm8} * 256 : imm8;
                for (unsigned i = 0; i < kBytes / bytes; ++i)
                    set_z_element(want, zd, bytes, i,
                                  low_bits(static_cast<uint64_t>(value), bytes));
                const uint32_t e = enc::dup_i(size, zd, imm8, lsl8);
                want.encoding = e;
                ASSERT_EQ(emulate(*s, e), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want), "") << "size " << size << " imm " << value;
            }
        }
}

TEST(Moves, DupImmediateKnownPatterns) {
    auto s = random_state(3);
    ASSERT_EQ(emulate(*s, enc::dup_i(1, 2, -128, true)), DECODE_OK); // dup z2.h, #-128, lsl #8
    for (unsigned i = 0; i < 96; ++i)
        ASSERT_EQ(z_element(*s, 2, 2, i), 0x8000u);
    ASSERT_EQ(emulate(*s, enc::dup_i(3, 2, -1, true)), DECODE_OK); // dup z2.d, #-256
    for (unsigned i = 0; i < 24; ++i)
        ASSERT_EQ(z_element(*s, 2, 8, i), 0xffffffffffffff00u);
    ASSERT_EQ(emulate(*s, enc::dup_i(0, 2, -128, false)), DECODE_OK); // dup z2.b, #-128
    for (unsigned i = 0; i < 192; ++i)
        ASSERT_EQ(s->z[2][i], 0x80u);
}

// One INDEX form: how base and step are encoded, and where they come from.
struct IndexForm {
    bool base_reg, step_reg;
};
const IndexForm kForms[] = {{false, false}, {false, true}, {true, false}, {true, true}};

TEST(Moves, IndexEveryFormSizeAndExtreme) {
    // Immediate operands at their extremes; register operands with high bits that only the
    // element size (and for doublewords the X view) decides about.
    const int imms[] = {-16, -1, 0, 1, 15};
    const uint64_t regs[] = {0xdeadbeef00000003u, ~uint64_t{0}, 0x8000000000000000u, 0x7fu};
    uint32_t seed = 700;
    for (unsigned size = 0; size < 4; ++size)
        for (const IndexForm &form : kForms)
            for (unsigned k = 0; k < 5; ++k)
                for (unsigned j = 0; j < 5; ++j) {
                    const unsigned bytes = 1u << size, n = kBytes / bytes, zd = (k * 5 + j) % 32;
                    const unsigned rn = form.base_reg ? (k == 4 ? 31 : 3 + k) : 0;
                    const unsigned rm = form.step_reg ? (j == 4 ? 31 : 20 + j) : 0;
                    auto s = random_state(seed++);
                    uint64_t base = static_cast<uint64_t>(int64_t{imms[k]});
                    uint64_t step = static_cast<uint64_t>(int64_t{imms[j]});
                    if (form.base_reg) {
                        if (rn != 31) s->x[rn] = regs[k % 4];
                        base = rn == 31 ? 0 : regs[k % 4]; // register 31 reads zero
                    }
                    if (form.step_reg) {
                        if (rm != 31) s->x[rm] = regs[(j + 1) % 4];
                        step = rm == 31 ? 0 : regs[(j + 1) % 4];
                    }
                    const uint32_t e =
                        enc::index(size, form.base_reg, form.step_reg, zd,
                                   form.base_reg ? rn : static_cast<unsigned>(imms[k]),
                                   form.step_reg ? rm : static_cast<unsigned>(imms[j]));
                    cpu_state want = *s;
                    // Accumulate step by step, wrapping at the element size.
                    uint64_t element = low_bits(base, bytes);
                    for (unsigned i = 0; i < n; ++i) {
                        set_z_element(want, zd, bytes, i, element);
                        element = low_bits(element + low_bits(step, bytes), bytes);
                    }
                    want.encoding = e;
                    ASSERT_EQ(emulate(*s, e), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want), "")
                        << "size " << size << " base_reg " << form.base_reg << " step_reg "
                        << form.step_reg << " k " << k << " j " << j;
                }
}

TEST(Moves, IndexKnownResults) {
    auto s = random_state(4);
    ASSERT_EQ(emulate(*s, enc::index(0, false, false, 1, 0, 1)), DECODE_OK); // index z1.b, #0, #1
    for (unsigned i = 0; i < 192; ++i)
        ASSERT_EQ(s->z[1][i], i);
    ASSERT_EQ(emulate(*s, enc::index(0, false, false, 1, 15, 0x1e)), DECODE_OK); // #15, #-2
    EXPECT_EQ(s->z[1][0], 15u);
    EXPECT_EQ(s->z[1][8], 255u); // 15 - 16 wraps
    EXPECT_EQ(s->z[1][191], (15 - 2 * 191) & 0xff);
    s->x[4] = 0xffffffff00000010u;
    ASSERT_EQ(emulate(*s, enc::index(2, true, false, 1, 4, 0x10)),
              DECODE_OK); // index z1.s, w4, #-16
    EXPECT_EQ(z_element(*s, 1, 4, 0), 0x10u);
    EXPECT_EQ(z_element(*s, 1, 4, 47), static_cast<uint32_t>(0x10 - 16 * 47));
    ASSERT_EQ(emulate(*s, enc::index(3, true, false, 1, 4, 1)), DECODE_OK); // index z1.d, x4, #1
    EXPECT_EQ(z_element(*s, 1, 8, 0), 0xffffffff00000010u);
    EXPECT_EQ(z_element(*s, 1, 8, 23), 0xffffffff00000027u);
}

} // namespace
