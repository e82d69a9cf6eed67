// CNT, INC and DEC by pattern: every pattern code at every element size, several multipliers,
// the zero register, and wrap-around of scalars and vector elements.
#include "emulation_fixture.h"

#include "sve/decode/handlers.h"

using namespace counts_test;

namespace {

// Elements a pattern selects, written out per pattern name rather than computed.
uint64_t expected_count(unsigned pattern, unsigned n) {
    static const unsigned fixed_length[14] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 16, 32, 64, 128, 256};
    switch (pattern) {
    case 0: { // POW2: halve from the largest 32-bit power of two until it fits
        unsigned p = 1u << 31;
        while (p > n)
            p >>= 1;
        return p;
    }
    case 29:
        return n / 4 * 4;
    case 30:
        return n / 3 * 3;
    case 31:
        return n;
    default:
        if (pattern < 14) return fixed_length[pattern] <= n ? fixed_length[pattern] : 0;
        return 0; // unallocated codes
    }
}

constexpr unsigned kElements[4] = {192, 96, 48, 24};
constexpr unsigned kImm4s[] = {0, 1, 2, 7, 15};

TEST(ElementCounts, ExpectedCountsAgreeWithKnownValues) {
    // The values the architecture gives a 1536-bit vector, independently of expected_count.
    EXPECT_EQ(expected_count(0, 192), 128u);
    EXPECT_EQ(expected_count(0, 24), 16u);
    EXPECT_EQ(expected_count(13, 192), 0u);   // VL256
    EXPECT_EQ(expected_count(12, 192), 128u); // VL128
    EXPECT_EQ(expected_count(10, 24), 0u);    // VL32 with 24 doublewords
    EXPECT_EQ(expected_count(30, 24), 24u);   // MUL3
    EXPECT_EQ(expected_count(14, 192), 0u);
}

TEST(ElementCounts, CntEveryPatternSizeAndMultiplier) {
    uint32_t seed = 1;
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned pattern = 0; pattern < 32; ++pattern)
            for (unsigned imm4 : kImm4s) {
                const unsigned rd = (pattern + size) % 31;
                auto s = random_state(seed++);
                cpu_state want = *s;
                want.x[rd] = expected_count(pattern, kElements[size]) * (imm4 + 1);
                ASSERT_EQ(emulate(*s, enc::cnt(size, rd, pattern, imm4)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want), "")
                    << "size " << size << " pattern " << pattern << " imm4 " << imm4;
            }
}

TEST(ElementCounts, CntKnownResults) {
    struct Case {
        unsigned size, pattern, imm4;
        uint64_t result;
    } cases[] = {
        {3, 31, 1, 48},    // CNTD ALL, MUL #2
        {0, 13, 0, 0},     // CNTB VL256
        {0, 0, 0, 128},    // CNTB POW2
        {0, 31, 15, 3072}, // CNTB ALL, MUL #16
        {1, 30, 0, 96},    // CNTH MUL3
        {2, 29, 0, 48},    // CNTW MUL4
        {2, 9, 2, 48},     // CNTW VL16, MUL #3
    };
    for (const Case &c : cases) {
        auto s = random_state(c.size * 100 + c.pattern);
        ASSERT_EQ(emulate(*s, enc::cnt(c.size, 7, c.pattern, c.imm4)), DECODE_OK);
        EXPECT_EQ(s->x[7], c.result) << c.size << " " << c.pattern << " " << c.imm4;
    }
}

TEST(ElementCounts, CntToTheZeroRegisterWritesNothing) {
    auto s = random_state(77);
    const cpu_state want = *s;
    ASSERT_EQ(emulate(*s, enc::cnt(0, 31, 31, 3)), DECODE_OK);
    EXPECT_EQ(state_difference(*s, want), "");
}

TEST(ElementCounts, CountKernelFollowsTheContextVectorLength) {
    CpuContext ctx{};
    struct Case {
        uint32_t vl;
        unsigned pattern, imm4;
        uint64_t bytes, halves, words, doubles;
    } cases[] = {
        {24, 31, 3, 4 * 24 * 8, 4 * 24 * 4, 4 * 24 * 2, 4 * 24},
        {2, 31, 0, 16, 8, 4, 2},
        {2, 0, 0, 16, 8, 4, 2},
        {0, 31, 5, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0},
        {32, 13, 0, 256, 0, 0, 0},                 // VL256 fits only bytes of a 2048-bit vector
        {3, 30, 1, 48, 24, 12, 6},                 // MUL3 of 24, 12, 6, 3 elements
        {5, 29, 0, 40, 20, 8, 4},                  // MUL4 of 40, 20, 10, 5 elements
        {24 | 0x4000000u, 31, 0, 192, 96, 48, 24}, // bits above the length field are ignored
    };
    for (const Case &c : cases) {
        ctx.vl = c.vl;
        EXPECT_EQ(VecU8CountVLSI(c.pattern, c.imm4, &ctx), c.bytes) << c.vl << " " << c.pattern;
        EXPECT_EQ(VecU16CountVLSI(c.pattern, c.imm4, &ctx), c.halves) << c.vl << " " << c.pattern;
        EXPECT_EQ(VecU32CountVLSI(c.pattern, c.imm4, &ctx), c.words) << c.vl << " " << c.pattern;
        EXPECT_EQ(VecU64CountVLSI(c.pattern, c.imm4, &ctx), c.doubles) << c.vl << " " << c.pattern;
    }
}

TEST(ElementCounts, IncDecScalarEveryPatternSizeAndMultiplier) {
    const uint64_t starts[] = {0, 5, ~uint64_t{0}, 0x8000000000000000u, 0x123456789abcdefu};
    uint32_t seed = 1000;
    for (unsigned size = 0; size < 4; ++size)
        for (bool dec : {false, true})
            for (unsigned pattern = 0; pattern < 32; ++pattern)
                for (unsigned imm4 : kImm4s) {
                    const unsigned rdn = (pattern * 3 + imm4) % 31;
                    const uint64_t start = starts[(pattern + imm4) % 5];
                    auto s = random_state(seed++);
                    s->x[rdn] = start;
                    cpu_state want = *s;
                    const uint32_t e = enc::incdec_x(size, dec, rdn, pattern, imm4);
                    const uint64_t amount = expected_count(pattern, kElements[size]) * (imm4 + 1);
                    want.x[rdn] = dec ? start - amount : start + amount; // modulo 2^64
                    want.encoding = e;
                    ASSERT_EQ(emulate(*s, e), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want), "")
                        << (dec ? "dec" : "inc") << " size " << size << " pattern " << pattern
                        << " imm4 " << imm4;
                }
}

TEST(ElementCounts, IncDecScalarKnownResults) {
    struct Case {
        uint32_t encoding;
        uint64_t before, after;
    } cases[] = {
        {enc::incdec_x(0, false, 0, 13, 0), 41, 41},                  // INCB x0, VL256
        {enc::incdec_x(0, false, 0, 31, 0), 0, 192},                  // INCB x0
        {enc::incdec_x(3, true, 0, 31, 0), 10, uint64_t(10 - 24)},    // DECD x0 wraps
        {enc::incdec_x(0, false, 0, 31, 15), ~uint64_t{0}, 3071},     // INCB x0, ALL, MUL #16
        {enc::incdec_x(1, true, 0, 0, 1), 0x100000000u, 0xffffff80u}, // DECH x0, POW2, MUL #2
    };
    for (const Case &c : cases) {
        auto s = random_state(c.encoding);
        s->x[0] = c.before;
        ASSERT_EQ(emulate(*s, c.encoding), DECODE_OK);
        EXPECT_EQ(s->x[0], c.after) << std::hex << c.encoding;
    }
}

TEST(ElementCounts, IncDecScalarOnTheZeroRegisterChangesOnlyTheEncodingField) {
    for (bool dec : {false, true}) {
        auto s = random_state(dec);
        cpu_state want = *s;
        const uint32_t e = enc::incdec_x(2, dec, 31, 31, 4);
        want.encoding = e;
        ASSERT_EQ(emulate(*s, e), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want), "");
    }
}

TEST(ElementCounts, IncDecVectorEveryPatternSizeAndMultiplier) {
    uint32_t seed = 5000;
    for (unsigned size = 1; size < 4; ++size)
        for (bool dec : {false, true})
            for (unsigned pattern = 0; pattern < 32; ++pattern)
                for (unsigned imm4 : kImm4s) {
                    const unsigned zdn = (pattern + imm4 * 5) % 32, bytes = 1u << size;
                    auto s = random_state(seed++);
                    // Elements at the edges of their range, so that the step wraps.
                    set_z_element(*s, zdn, bytes, 0, 0);
                    set_z_element(*s, zdn, bytes, 1, ~uint64_t{0});
                    set_z_element(*s, zdn, bytes, 2, 1);
                    cpu_state want = *s;
                    const uint32_t e = enc::incdec_z(size, dec, zdn, pattern, imm4);
                    const uint64_t amount = expected_count(pattern, kElements[size]) * (imm4 + 1);
                    for (unsigned i = 0; i < kElements[size]; ++i) {
                        const uint64_t old = z_element(*s, zdn, bytes, i);
                        set_z_element(want, zdn, bytes, i,
                                      low_bits(dec ? old - amount : old + amount, bytes));
                    }
                    want.encoding = e;
                    ASSERT_EQ(emulate(*s, e), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want), "")
                        << (dec ? "dec" : "inc") << " size " << size << " pattern " << pattern
                        << " imm4 " << imm4;
                }
}

TEST(ElementCounts, IncDecVectorKnownResults) {
    auto s = random_state(9);
    for (unsigned i = 0; i < 24; ++i)
        set_z_element(*s, 0, 8, i, i);
    ASSERT_EQ(emulate(*s, enc::incdec_z(3, false, 0, 31, 2)), DECODE_OK); // INCD z0.d, ALL, MUL #3
    for (unsigned i = 0; i < 24; ++i)
        EXPECT_EQ(z_element(*s, 0, 8, i), i + 72) << i;

    for (unsigned i = 0; i < 96; ++i)
        set_z_element(*s, 1, 2, i, i);
    ASSERT_EQ(emulate(*s, enc::incdec_z(1, true, 1, 31, 0)), DECODE_OK); // DECH z1.h
    for (unsigned i = 0; i < 96; ++i)
        EXPECT_EQ(z_element(*s, 1, 2, i), (i + 0x10000 - 96) & 0xffff) << i;
}

} // namespace
