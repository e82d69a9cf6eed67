// Integer compares through their decode functions: vectors, immediates and wide second sources,
// each against a closed-form description of which elements are true. Checks that inactive
// elements and the non-first bytes of every element come out 0, and the NZCV of PredTest.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "tests/arith/arith_state.h"

using namespace sve_test;

namespace {

constexpr uint64_t kN = 1ull << 31, kZ = 1ull << 30, kC = 1ull << 29, kV = 1ull << 28;

// Pd is p2, Pg p1, Zn z2, Zm z3. zm gives z3's elements at the compare's width, or its 64-bit
// elements for the wide forms; truth says which active elements compare true.
struct CompareCase {
    const char *text;
    uint32_t encoding;
    unsigned esize;
    bool wide;
    uint64_t (*zn)(unsigned i);
    uint64_t (*zm)(unsigned j);
    bool (*truth)(unsigned i);
};

std::ostream &operator<<(std::ostream &os, const CompareCase &c) {
    return os << c.text;
}

uint64_t unused(unsigned) {
    return 0;
}

// clang-format off
const CompareCase kCases[] = {
    // Vectors.
    {"cmpeq p2.b, p1/z, z2.b, z3.b", 0x2403a442, 1, false, [](unsigned i) -> uint64_t { return i; },
     [](unsigned j) -> uint64_t { return j % 3 == 0 ? j : j + 1; }, [](unsigned i) { return i % 3 == 0; }},
    {"cmpne p2.h, p1/z, z2.h, z3.h", 0x2443a452, 2, false, [](unsigned i) -> uint64_t { return i; },
     [](unsigned) -> uint64_t { return 5; }, [](unsigned i) { return i != 5; }},
    {"cmpgt p2.s, p1/z, z2.s, z3.s", 0x24838452, 4, false,
     [](unsigned i) -> uint64_t { return (i - 24u) & 0xffffffffu; }, [](unsigned) -> uint64_t { return 0; },
     [](unsigned i) { return i > 24; }},
    {"cmpge p2.d, p1/z, z2.d, z3.d", 0x24c38442, 8, false, [](unsigned i) -> uint64_t { return i - 12ull; },
     [](unsigned) -> uint64_t { return ~0ull; }, [](unsigned i) { return i >= 11; }},
    {"cmphi p2.b, p1/z, z2.b, z3.b", 0x24030452, 1, false, [](unsigned i) -> uint64_t { return i; },
     [](unsigned) -> uint64_t { return 0x7f; }, [](unsigned i) { return i > 127; }},
    {"cmphs p2.d, p1/z, z2.d, z3.d", 0x24c30442, 8, false, [](unsigned i) -> uint64_t { return i - 12ull; },
     [](unsigned) -> uint64_t { return 5; }, [](unsigned i) { return i >= 17 || i < 12; }},
    // Immediates: signed imm5 for EQ, NE and the signed relations, unsigned imm7 otherwise.
    {"cmpeq p2.b, p1/z, z2.b, #-16", 0x25108442, 1, false,
     [](unsigned i) -> uint64_t { return (i - 20u) & 0xff; }, unused, [](unsigned i) { return i == 4; }},
    {"cmpne p2.d, p1/z, z2.d, #15", 0x25cf8452, 8, false, [](unsigned i) -> uint64_t { return i; }, unused,
     [](unsigned i) { return i != 15; }},
    {"cmpgt p2.h, p1/z, z2.h, #-1", 0x255f0452, 2, false,
     [](unsigned i) -> uint64_t { return (i - 48u) & 0xffff; }, unused, [](unsigned i) { return i >= 48; }},
    {"cmpge p2.s, p1/z, z2.s, #-16", 0x25900442, 4, false,
     [](unsigned i) -> uint64_t { return (i - 24u) & 0xffffffffu; }, unused, [](unsigned i) { return i >= 8; }},
    {"cmplt p2.b, p1/z, z2.b, #0", 0x25002442, 1, false, [](unsigned i) -> uint64_t { return i; }, unused,
     [](unsigned i) { return i >= 128; }},
    {"cmple p2.d, p1/z, z2.d, #-1", 0x25df2452, 8, false, [](unsigned i) -> uint64_t { return i - 12ull; },
     unused, [](unsigned i) { return i <= 11; }},
    {"cmphi p2.b, p1/z, z2.b, #127", 0x243fc452, 1, false, [](unsigned i) -> uint64_t { return i; }, unused,
     [](unsigned i) { return i >= 128; }},
    {"cmphs p2.h, p1/z, z2.h, #127", 0x247fc442, 2, false,
     [](unsigned i) -> uint64_t { return (i + 65500u) & 0xffff; }, unused, [](unsigned i) { return i < 36; }},
    {"cmplo p2.s, p1/z, z2.s, #1", 0x24a06442, 4, false, [](unsigned i) -> uint64_t { return i % 2; }, unused,
     [](unsigned i) { return i % 2 == 0; }},
    {"cmpls p2.d, p1/z, z2.d, #0", 0x24e02452, 8, false, [](unsigned i) -> uint64_t { return i % 3; }, unused,
     [](unsigned i) { return i % 3 == 0; }},
    {"cmpls p2.b, p1/z, z2.b, #127", 0x243fe452, 1, false, [](unsigned i) -> uint64_t { return i; }, unused,
     [](unsigned i) { return i <= 127; }},
    // Wide: element i against the 64-bit element of its own 64-bit segment, the narrow element
    // extended by the relation's signedness. Bytes from 128 up are negative when signed.
    {"cmpeq p2.b, p1/z, z2.b, z3.d", 0x24032442, 1, true, [](unsigned i) -> uint64_t { return i; },
     [](unsigned j) -> uint64_t { return 8 * j + 3; }, [](unsigned i) { return i % 8 == 3 && i < 128; }},
    {"cmpne p2.h, p1/z, z2.h, z3.d", 0x24432452, 2, true, [](unsigned i) -> uint64_t { return i; },
     [](unsigned j) -> uint64_t { return 4 * j; }, [](unsigned i) { return i % 4 != 0; }},
    {"cmpgt p2.s, p1/z, z2.s, z3.d", 0x24834452, 4, true,
     [](unsigned i) -> uint64_t { return (i - 10u) & 0xffffffffu; },
     [](unsigned j) -> uint64_t { return 2 * j - 10ull; }, [](unsigned i) { return i % 2 == 1; }},
    {"cmpge p2.b, p1/z, z2.b, z3.d", 0x24034442, 1, true, [](unsigned i) -> uint64_t { return i; },
     [](unsigned j) -> uint64_t { return 8 * j + 4; }, [](unsigned i) { return i % 8 >= 4 && i < 128; }},
    {"cmplt p2.h, p1/z, z2.h, z3.d", 0x24436442, 2, true,
     [](unsigned i) -> uint64_t { return (i - 48u) & 0xffff; }, [](unsigned) -> uint64_t { return 0; },
     [](unsigned i) { return i < 48; }},
    {"cmple p2.s, p1/z, z2.s, z3.d", 0x24836452, 4, true, [](unsigned i) -> uint64_t { return i; },
     [](unsigned) -> uint64_t { return ~0ull; }, [](unsigned) { return false; }},
    {"cmphi p2.b, p1/z, z2.b, z3.d", 0x2403c452, 1, true, [](unsigned i) -> uint64_t { return i; },
     [](unsigned j) -> uint64_t { return 8 * j + 3; }, [](unsigned i) { return i % 8 > 3; }},
    {"cmphs p2.h, p1/z, z2.h, z3.d", 0x2443c442, 2, true, [](unsigned i) -> uint64_t { return 0xffff - i; },
     [](unsigned j) -> uint64_t { return j % 2 ? 0x10000 : 100; }, [](unsigned i) { return i / 4 % 2 == 0; }},
    {"cmplo p2.s, p1/z, z2.s, z3.d", 0x2483e442, 4, true, [](unsigned i) -> uint64_t { return i; },
     [](unsigned j) -> uint64_t { return 2 * j + 1; }, [](unsigned i) { return i % 2 == 0; }},
    {"cmpls p2.b, p1/z, z2.b, z3.d", 0x2403e452, 1, true, [](unsigned i) -> uint64_t { return i; },
     [](unsigned j) -> uint64_t { return j % 2 ? ~0ull : 8 * j + 2; },
     [](unsigned i) { return i / 8 % 2 == 1 || i % 8 <= 2; }},
};
// clang-format on

// Element i is active when `active(i)`; p1's other bytes are random.
template <typename Active> void set_governing(cpu_state &s, unsigned esize, Active active) {
    for (unsigned i = 0; i < ostrel::kVectorBytes / esize; ++i)
        s.p[1][i * esize] = static_cast<uint8_t>((s.p[1][i * esize] & 0xfe) | (active(i) ? 1 : 0));
}

void load_operands(cpu_state &s, const CompareCase &c) {
    for (unsigned i = 0; i < ostrel::kVectorBytes / c.esize; ++i)
        set_z_element(s, 2, c.esize, i, c.zn(i));
    const unsigned zm_esize = c.wide ? 8 : c.esize;
    for (unsigned j = 0; j < ostrel::kVectorBytes / zm_esize; ++j)
        set_z_element(s, 3, zm_esize, j, c.zm(j));
}

class CompareTest : public ::testing::TestWithParam<CompareCase> {};

// Every third element inactive: those, and every non-first byte, must come out 0.
TEST_P(CompareTest, SetsActiveElementsAndFlags) {
    const CompareCase &c = GetParam();
    auto state = arith_test::random_arith_state(c.encoding);
    load_operands(*state, c);
    auto active = [](unsigned i) { return i % 3 != 1; };
    set_governing(*state, c.esize, active);
    const uint64_t other_bits = state->nzcv & ~(kN | kZ | kC | kV);

    ASSERT_EQ(run(state.get(), c.encoding), DECODE_OK);

    const unsigned elements = ostrel::kVectorBytes / c.esize;
    int first = -1, last = -1;
    bool any = false;
    for (unsigned i = 0; i < elements; ++i) {
        const bool expected = active(i) && c.truth(i);
        ASSERT_EQ(state->p[2][i * c.esize], expected ? 1 : 0) << "element " << i;
        for (unsigned b = 1; b < c.esize; ++b)
            ASSERT_EQ(state->p[2][i * c.esize + b], 0) << "element " << i << " byte " << b;
        if (active(i)) {
            if (first < 0) first = expected;
            last = expected;
            any = any || expected;
        }
    }
    const uint64_t flags = (first == 1 ? kN : 0) | (any ? 0 : kZ) | (last == 1 ? 0 : kC);
    EXPECT_EQ(state->nzcv, other_bits | flags) << std::hex << state->nzcv;
}

// With no active element the result is all false and NZCV is 0110, whatever the data.
TEST_P(CompareTest, NoActiveElementGivesZeroAndZC) {
    const CompareCase &c = GetParam();
    auto state = arith_test::random_arith_state(c.encoding + 1);
    load_operands(*state, c);
    set_governing(*state, c.esize, [](unsigned) { return false; });
    const uint64_t other_bits = state->nzcv & ~(kN | kZ | kC | kV);
    ASSERT_EQ(run(state.get(), c.encoding), DECODE_OK);
    for (unsigned b = 0; b < ostrel::kVectorBytes; ++b)
        ASSERT_EQ(state->p[2][b], 0) << "byte " << b;
    EXPECT_EQ(state->nzcv, other_bits | kZ | kC);
}

INSTANTIATE_TEST_SUITE_P(Relations, CompareTest, ::testing::ValuesIn(kCases));

// The governing predicate may also be the destination: it is read before Pd is written.
TEST(CompareAliasing, GoverningPredicateAlsoDestination) {
    auto state = arith_test::random_arith_state(3);
    for (unsigned i = 0; i < 48; ++i) {
        set_z_element(*state, 2, 4, i, i);
        state->p[1][4 * i] = i % 2;
    }
    // cmphi p1.s, p1/z, z2.s, #9
    ASSERT_EQ(run(state.get(), 0x24a24451), DECODE_OK);
    for (unsigned i = 0; i < 48; ++i)
        EXPECT_EQ(state->p[1][4 * i], (i % 2 == 1 && i > 9) ? 1 : 0) << i;
    // Active elements run from 1 to 47: the first (1) is false, the last (47) true.
    EXPECT_EQ(state->nzcv & (kN | kZ | kC | kV), 0u);
}

} // namespace
