// Saturating element counts (SQINC, UQINC, SQDEC, UQDEC) on 32-bit and 64-bit scalars and on
// vectors: limits of each width and signedness, the 32-bit forms' extension to 64 bits, every
// pattern and several multipliers against a clamp written here with 128-bit integers.
#include "reduce_fixture.h"

#include <algorithm>

#include "sve/decode/handlers.h"

using namespace reduce_test;

namespace {

constexpr unsigned kElements[4] = {192, 96, 48, 24};

// Bit 20 selects the 64-bit scalar; bit 11 decrement; bit 10 unsigned.
uint32_t scalar_enc(unsigned size, bool wide, bool is_unsigned, bool dec, unsigned rdn,
                    unsigned pattern, unsigned imm4) {
    return 0x0420f000u | size << 22 | unsigned{wide} << 20 | imm4 << 16 | unsigned{dec} << 11 |
           unsigned{is_unsigned} << 10 | pattern << 5 | rdn;
}
uint32_t vector_enc(unsigned size, bool is_unsigned, bool dec, unsigned zdn, unsigned pattern,
                    unsigned imm4) {
    return 0x0420c000u | size << 22 | imm4 << 16 | unsigned{dec} << 11 |
           unsigned{is_unsigned} << 10 | pattern << 5 | zdn;
}

using i128 = __int128;

// x (its low `bits` bits, read with the given signedness) stepped and clamped, as a bits-wide
// pattern.
uint64_t clamp_step(uint64_t x, unsigned bits, bool is_unsigned, bool dec, uint64_t amount) {
    const uint64_t mask = bits == 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
    i128 v = static_cast<i128>(x & mask);
    if (!is_unsigned && ((x >> (bits - 1)) & 1)) v -= i128{1} << bits;
    v += dec ? -static_cast<i128>(amount) : static_cast<i128>(amount);
    const i128 lo = is_unsigned ? 0 : -(i128{1} << (bits - 1));
    const i128 hi = is_unsigned ? (i128{1} << bits) - 1 : (i128{1} << (bits - 1)) - 1;
    return static_cast<uint64_t>(std::clamp(v, lo, hi)) & mask;
}

TEST(SaturatingCounts, ScalarLimitsAndExtension) {
    struct Case {
        const char *text;
        unsigned size;
        bool wide, is_unsigned, dec;
        unsigned pattern, imm4;
        uint64_t before, after;
    } cases[] = {
        {"sqincb x0, w0, all", 0, false, false, false, 31, 0, 0xdead00007fffff80, 0x7fffffff},
        {"sqincb x0, w0, all", 0, false, false, false, 31, 0, 0x000000007fffff00, 0x7fffffc0},
        {"sqincb x0, w0, vl1 (negative stays negative)", 0, false, false, false, 1, 0,
         0x00000000fffffff0, 0xfffffffffffffff1},
        {"sqdecw x0, w0, all", 2, false, false, true, 31, 0, 0x0000000080000020,
         0xffffffff80000000},
        {"sqdecb x0, w0, vl1", 0, false, false, true, 1, 0, 0x12345678ffffff00, 0xfffffffffffffeff},
        {"sqdecd x0, w0, all, mul #16", 3, false, false, true, 31, 15, 0x0000000000000100,
         0xffffffffffffff80},
        {"uqincb w0, all", 0, false, true, false, 31, 0, 0xffffffffffffff80, 0x00000000ffffffff},
        {"uqinch w0, pow2", 1, false, true, false, 0, 0, 0xffffffff00000001, 0x41},
        {"uqdecb w0, all", 0, false, true, true, 31, 0, 100, 0},
        {"uqdecb w0, all (upper half ignored)", 0, false, true, true, 31, 0, 0xffffffff00000200,
         0x140},
        {"uqdecw w0, vl8, mul #2", 2, false, true, true, 8, 1, 0xffffffff00000010, 0},
        {"uqdecw w0, vl8, mul #2", 2, false, true, true, 8, 1, 0x0000000000000011, 1},
        {"sqincd x0, all", 3, true, false, false, 31, 0, 0x7ffffffffffffff0, 0x7fffffffffffffff},
        {"sqincb x0, all (no 32-bit limit)", 0, true, false, false, 31, 0, 0x7fffff80, 0x80000040},
        {"sqdecd x0, all", 3, true, false, true, 31, 0, 0x8000000000000005, 0x8000000000000000},
        {"sqdech x0, all", 1, true, false, true, 31, 0, 10, static_cast<uint64_t>(-86)},
        {"uqinch x0, all", 1, true, true, false, 31, 0, 0xfffffffffffffff0, 0xffffffffffffffff},
        {"uqdech x0, all", 1, true, true, true, 31, 0, 50, 0},
        {"uqdecb x0, all", 0, true, true, true, 31, 0, 0x1000, 0x1000 - 192},
        {"uqdecb x0, all", 0, true, true, true, 31, 0, 191, 0},
        {"uqincw x0, vl256", 2, true, true, false, 13, 0, 0xffffffffffffffff, 0xffffffffffffffff},
    };
    uint64_t seed = 1;
    for (const Case &c : cases) {
        for (unsigned rdn : {0u, 17u, 30u}) {
            auto s = random_state(seed++);
            s->x[rdn] = c.before;
            cpu_state want = *s;
            want.x[rdn] = c.after;
            ASSERT_EQ(emulate(*s, scalar_enc(c.size, c.wide, c.is_unsigned, c.dec, rdn, c.pattern,
                                             c.imm4)),
                      DECODE_OK);
            EXPECT_EQ(state_difference(*s, want, kCompared), "") << c.text << " rdn " << rdn;
        }
    }
}

TEST(SaturatingCounts, ScalarEveryPatternSizeAndForm) {
    const uint64_t starts[] = {0,
                               1,
                               0x7fffff00,
                               0x80000010,
                               0xfffffff0,
                               0x7fffffffffffff00,
                               0x8000000000000100,
                               0xffffffffffffff00,
                               0x123456789abcdef0};
    uint64_t seed = 1000;
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned form = 0; form < 8; ++form) {
            const bool wide = form & 1, is_unsigned = form & 2, dec = form & 4;
            for (unsigned pattern = 0; pattern < 32; ++pattern)
                for (unsigned imm4 : {0u, 1u, 15u}) {
                    const uint64_t before = starts[(pattern + imm4) % 9];
                    auto s = random_state(seed++);
                    s->x[3] = before;
                    cpu_state want = *s;
                    const uint64_t amount = pattern_count(pattern, kElements[size]) * (imm4 + 1);
                    const unsigned bits = wide ? 64 : 32;
                    uint64_t after = clamp_step(before, bits, is_unsigned, dec, amount);
                    if (!wide && !is_unsigned && (after >> 31)) after |= 0xffffffff00000000u;
                    want.x[3] = after;
                    ASSERT_EQ(
                        emulate(*s, scalar_enc(size, wide, is_unsigned, dec, 3, pattern, imm4)),
                        DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << "size " << size << " form " << form << " pattern " << pattern << " imm4 "
                        << imm4;
                }
        }
}

TEST(SaturatingCounts, ZeroRegisterTakesNoResult) {
    for (unsigned form = 0; form < 8; ++form) {
        auto s = random_state(form + 500);
        const cpu_state want = *s;
        ASSERT_EQ(emulate(*s, scalar_enc(0, form & 1, form & 2, form & 4, 31, 31, 3)), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want, kCompared), "") << "form " << form;
    }
}

TEST(SaturatingCounts, VectorEveryElementSizeAndForm) {
    uint64_t seed = 5000;
    for (unsigned size = 1; size < 4; ++size)
        for (unsigned form = 0; form < 4; ++form) {
            const bool is_unsigned = form & 1, dec = form & 2;
            for (unsigned pattern : {0u, 1u, 8u, 9u, 13u, 29u, 30u, 31u, 17u})
                for (unsigned imm4 : {0u, 2u, 15u}) {
                    const unsigned bytes = 1u << size, bits = 8 * bytes, zdn = seed % 32;
                    auto s = random_state(seed++);
                    // Elements near every limit, and random ones.
                    const uint64_t top = bits == 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
                    const uint64_t near[6] = {0, 5, top, top - 5, top >> 1, (top >> 1) + 3};
                    for (unsigned i = 0; i < 6; ++i)
                        set_z_element(*s, zdn, bytes, i * 3, near[i]);
                    cpu_state want = *s;
                    const uint64_t amount = pattern_count(pattern, kElements[size]) * (imm4 + 1);
                    for (unsigned i = 0; i < kBytes / bytes; ++i)
                        set_z_element(want, zdn, bytes, i,
                                      clamp_step(z_element(*s, zdn, bytes, i), bits, is_unsigned,
                                                 dec, amount));
                    ASSERT_EQ(emulate(*s, vector_enc(size, is_unsigned, dec, zdn, pattern, imm4)),
                              DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << "size " << size << " form " << form << " pattern " << pattern << " imm4 "
                        << imm4;
                }
        }
}

TEST(SaturatingCounts, VectorKnownResults) {
    struct Case {
        const char *text;
        unsigned size;
        bool is_unsigned, dec;
        unsigned pattern, imm4;
        uint64_t before, after;
    } cases[] = {
        {"sqinch all", 1, false, false, 31, 0, 0x7ff0, 0x7fff},
        {"sqinch all", 1, false, false, 31, 0, 0xffa0, 0x0000}, // -96 + 96
        {"sqdecw all", 2, false, true, 31, 0, 0x80000005, 0x80000000},
        {"uqincw all, mul #3", 2, true, false, 31, 2, 0xffffff00, 0xffffff90},
        {"uqdecd all", 3, true, true, 31, 0, 10, 0},
        {"sqdecd all", 3, false, true, 31, 0, 0x8000000000000017, 0x8000000000000000},
        {"uqinch all", 1, true, false, 31, 0, 0xffa1, 0xffff},
    };
    for (const Case &c : cases) {
        auto s = random_state(c.size * 7 + c.pattern);
        const unsigned bytes = 1u << c.size;
        for (unsigned i = 0; i < kBytes / bytes; ++i)
            set_z_element(*s, 12, bytes, i, c.before);
        cpu_state want = *s;
        for (unsigned i = 0; i < kBytes / bytes; ++i)
            set_z_element(want, 12, bytes, i, c.after);
        ASSERT_EQ(emulate(*s, vector_enc(c.size, c.is_unsigned, c.dec, 12, c.pattern, c.imm4)),
                  DECODE_OK);
        EXPECT_EQ(state_difference(*s, want, kCompared), "") << c.text;
    }
}

TEST(SaturatingCounts, KernelsCountAtTheContextVectorLength) {
    CpuContext ctx{};
    ctx.vl = 2; // 128 bits: 16 bytes, 8 halfwords
    EXPECT_EQ(VecS8QIncrVL8SI(100, 31, 0, &ctx), 116u);
    EXPECT_EQ(VecU16QDecrVL4SI(0xffffffff00000005u, 31, 0, &ctx), 0u);
    EXPECT_EQ(VecS32QDecrVL4SI(0x80000002u, 31, 1, &ctx), 0xffffffff80000000u);
    VecValue z{};
    z.set<uint16_t>(0, 0x7ffa);
    z.set<uint16_t>(7, 0x0001);
    const VecValue r = VecS16QIncrVLVI(z, 31, 0, &ctx);
    EXPECT_EQ(r.get<uint16_t>(0), 0x7fffu);
    EXPECT_EQ(r.get<uint16_t>(7), 9u);
    ctx.vl = 0; // no elements: nothing to count
    EXPECT_EQ(VecU64QIncrVL8SI(0xffffffffffffff00u, 31, 15, &ctx), 0xffffffffffffff00u);
}

} // namespace
