// PTRUE and PTRUES: every pattern code at every element size of the 1536-bit vector.
#include "tests/predicate/predicate_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

// Elements selected by pattern code `pattern` from 192 bytes, 96 halfwords, 48 words, 24
// doublewords, written out from the pattern names: POW2, VL1..VL8, VL16, VL32, VL64, VL128, VL256,
// then unallocated codes up to MUL4 (29), MUL3 (30), ALL (31). Every element count here is a
// multiple of 12, so MUL4 and MUL3 select all elements.
unsigned expected_count(unsigned pattern, unsigned size) {
    static const unsigned elements[4] = {192, 96, 48, 24};
    static const unsigned pow2[4] = {128, 64, 32, 16};
    const unsigned n = elements[size];
    switch (pattern) {
    case 0:
        return pow2[size];
    case 9:
        return n >= 16 ? 16 : 0;
    case 10:
        return n >= 32 ? 32 : 0;
    case 11:
        return n >= 64 ? 64 : 0;
    case 12:
        return n >= 128 ? 128 : 0;
    case 13:
        return 0; // VL256: more than the vector holds
    case 29:
    case 30:
    case 31:
        return n;
    default:
        return pattern <= 8 ? pattern : 0;
    }
}

TEST(Ptrue, EveryPatternAtEverySize) {
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned pattern = 0; pattern < 32; ++pattern) {
            auto s = garbage_state(pattern * 4 + size);
            const uint64_t nzcv = s->nzcv;
            const auto p3 = predicate(*s, 3);
            // PTRUE P9.<T>, pattern: 0x2518e000 | size << 22 | pattern << 5 | Pd.
            ASSERT_EQ(emulate(*s, 0x2518e000 | size << 22 | pattern << 5 | 9), DECODE_OK);
            EXPECT_EQ(predicate(*s, 9), leading_elements(expected_count(pattern, size), size))
                << "size " << size << " pattern " << pattern;
            EXPECT_EQ(s->nzcv, nzcv) << "PTRUE sets no flags";
            EXPECT_EQ(predicate(*s, 3), p3);
        }
}

TEST(Ptrue, NamedEdgeCases) {
    struct Case {
        unsigned size, pattern, count;
    } cases[] = {
        {2, 0, 32},  // P0.S, POW2
        {0, 13, 0},  // P0.B, VL256
        {3, 30, 24}, // P0.D, MUL3
        {0, 14, 0},  // P0.B, #14 (unallocated)
    };
    for (const Case &c : cases) {
        auto s = garbage_state(c.pattern);
        ASSERT_EQ(emulate(*s, 0x2518e000 | c.size << 22 | c.pattern << 5), DECODE_OK);
        EXPECT_EQ(predicate(*s, 0), leading_elements(c.count, c.size));
    }
}

// PTRUES takes the kernel road: the same predicate, and PredTest of the result against itself.
TEST(Ptrues, EveryPatternAtEverySizeWithFlags) {
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned pattern = 0; pattern < 32; ++pattern) {
            auto s = garbage_state(100 + pattern * 4 + size);
            s->nzcv = 0xabcd00005000000full; // V set, and bits the kernel road does not keep
            // PTRUES P14.<T>, pattern: 0x2519e000 | size << 22 | pattern << 5 | Pd.
            ASSERT_EQ(emulate(*s, 0x2519e000 | size << 22 | pattern << 5 | 14), DECODE_OK);
            const unsigned count = expected_count(pattern, size);
            EXPECT_EQ(predicate(*s, 14), leading_elements(count, size))
                << "size " << size << " pattern " << pattern;
            // Some element true: N (the first is true), not Z, not C (the last active is true).
            EXPECT_EQ(s->nzcv, (count ? N : Z | C) | 0xf)
                << "size " << size << " pattern " << pattern;
        }
}

} // namespace
