// SEL, CPY (immediate, general register, SIMD&FP scalar), MOVPRFX and DUP (indexed) through the
// decode lookup, and DUP (indexed) with indices no encoding reaches at this vector length.
#include "permute_fixture.h"
#include "sve/decode/forms.h"

using namespace permute_test;

namespace {

TEST(Selects, SelEverySizeAndPattern) {
    uint32_t seed = 1;
    for (unsigned size = 0; size < 4; ++size)
        for (Pattern pat : kPatterns) {
            const unsigned bytes = 1u << size, n = kBytes / bytes;
            auto s = random_state(seed++);
            set_pattern(*s, 12, bytes, pat);
            cpu_state want = *s;
            for (unsigned i = 0; i < n; ++i)
                set_z_element(want, 3, bytes, i,
                              z_element(*s, pattern_active(pat, i, n) ? 3 : 4, bytes, i));
            ASSERT_EQ(emulate(*s, enc::sel(size, 3, 12, 3, 4)), DECODE_OK);
            EXPECT_EQ(state_difference(*s, want, kCompared), "") << "size " << size;
        }
}

// CPY (immediate): the value of the immediate sign-extended and truncated to the element.
TEST(Selects, CopyImmediateMergingAndZeroing) {
    const struct {
        int imm8;
        bool lsl8;
    } imms[] = {{-128, false}, {127, false}, {-1, false}, {0, false}, {-128, true}, {1, true}};
    uint32_t seed = 100;
    for (unsigned size = 0; size < 4; ++size)
        for (bool merging : {false, true})
            for (const auto &imm : imms)
                for (Pattern pat : {Pattern::none, Pattern::alternate, Pattern::last_only}) {
                    if (size == 0 && imm.lsl8) continue; // no shifted form for bytes
                    const unsigned bytes = 1u << size, n = kBytes / bytes;
                    auto s = random_state(seed++);
                    set_pattern(*s, 15, bytes, pat);
                    cpu_state want = *s;
                    const int64_t value = imm.lsl8 ? int64_t{imm.imm8} * 256 : imm.imm8;
                    for (unsigned i = 0; i < n; ++i) {
                        if (pattern_active(pat, i, n))
                            set_z_element(want, 8, bytes, i,
                                          low_bits(static_cast<uint64_t>(value), bytes));
                        else if (!merging)
                            set_z_element(want, 8, bytes, i, 0);
                    }
                    ASSERT_EQ(emulate(*s, enc::cpy_i(size, 8, 15, merging, imm.imm8, imm.lsl8)),
                              DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << "size " << size << " merging " << merging << " value " << value;
                }
}

TEST(Selects, CopyImmediateDoublewordSignExtends) {
    auto s = random_state(3);
    set_pattern(*s, 1, 8, Pattern::all);
    ASSERT_EQ(emulate(*s, enc::cpy_i(3, 0, 1, false, -128, true)), DECODE_OK); // #-32768
    for (unsigned i = 0; i < 24; ++i)
        ASSERT_EQ(z_element(*s, 0, 8, i), 0xffffffffffff8000u);
}

TEST(Selects, CopyGeneralRegisterWithStackPointerAt31) {
    uint32_t seed = 200;
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned rn : {0u, 17u, 31u})
            for (Pattern pat : {Pattern::all, Pattern::sparse, Pattern::none}) {
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                set_pattern(*s, 6, bytes, pat);
                const uint64_t v = rn == 31 ? s->sp : s->x[rn];
                cpu_state want = *s;
                for (unsigned i = 0; i < n; ++i)
                    if (pattern_active(pat, i, n))
                        set_z_element(want, 2, bytes, i, low_bits(v, bytes));
                ASSERT_EQ(emulate(*s, enc::cpy_r(size, 2, 6, rn)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << "size " << size << " rn " << rn;
            }
}

TEST(Selects, CopySimdScalarTakesElementZero) {
    uint32_t seed = 300;
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned vn : {4u, 2u}) // Vn also the destination
            for (Pattern pat : {Pattern::all, Pattern::alternate}) {
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                set_pattern(*s, 7, bytes, pat);
                const uint64_t v = z_element(*s, vn, bytes, 0);
                cpu_state want = *s;
                for (unsigned i = 0; i < n; ++i)
                    if (pattern_active(pat, i, n)) set_z_element(want, 2, bytes, i, v);
                ASSERT_EQ(emulate(*s, enc::cpy_v(size, 2, 7, vn)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << "size " << size << " vn " << vn;
            }
}

TEST(Selects, MovprfxPredicatedZeroesOrKeepsInactive) {
    uint32_t seed = 400;
    for (unsigned size = 0; size < 4; ++size)
        for (bool merging : {false, true})
            for (Pattern pat : kPatterns) {
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                set_pattern(*s, 0, bytes, pat);
                cpu_state want = *s;
                for (unsigned i = 0; i < n; ++i) {
                    if (pattern_active(pat, i, n))
                        set_z_element(want, 10, bytes, i, z_element(*s, 11, bytes, i));
                    else if (!merging)
                        set_z_element(want, 10, bytes, i, 0);
                }
                ASSERT_EQ(emulate(*s, enc::movprfx_p(size, 10, 0, merging, 11)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << "size " << size << " merging " << merging;
            }
}

TEST(Selects, MovprfxUnpredicatedCopiesWholeRegister) {
    for (unsigned zn : {3u, 31u, 0u}) {
        auto s = random_state(zn);
        cpu_state want = *s;
        std::memcpy(want.z[0], s->z[zn], kBytes);
        ASSERT_EQ(emulate(*s, enc::movprfx(0, zn)), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want, kCompared), "") << "zn " << zn;
    }
}

TEST(Selects, DupIndexedEverySizeAndIndex) {
    uint32_t seed = 500;
    for (unsigned size = 0; size <= 4; ++size) {
        const unsigned bytes = 1u << size;
        for (unsigned index : {0u, 1u, (64u >> size) - 1})
            for (unsigned zn : {5u, 1u}) {
                auto s = random_state(seed++);
                cpu_state want = *s;
                for (unsigned at = 0; at < kBytes; at += bytes)
                    std::memcpy(want.z[1] + at, s->z[zn] + index * bytes, bytes);
                ASSERT_EQ(emulate(*s, enc::dup_indexed(size, 1, zn, index)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << "size " << size << " index " << index << " zn " << zn;
            }
    }
}

// The encodings cannot name an element past a 1536-bit vector; the executor still gives zeros for
// one, as it must at shorter vector lengths.
TEST(Selects, DupIndexedBeyondTheVectorGivesZeros) {
    const struct {
        uint32_t size, index;
        bool zero;
    } cases[] = {{4, 2, false},  {4, 11, false}, {4, 12, true}, {0, 191, false},
                 {0, 192, true}, {3, 23, false}, {3, 24, true}, {1, 1000, true}};
    for (const auto &c : cases) {
        auto s = random_state(c.index);
        const auto before = *s;
        const aarch64_z_reg zd{1, c.size, ostrel::kClassZ, ostrel::kClassZ};
        const aarch64_z_reg zn{2, c.size, ostrel::kClassZ, ostrel::kClassZ};
        ASSERT_EQ(sve_dup_zzi(s.get(), zd, zn, c.index), DECODE_OK);
        const unsigned bytes = 1u << c.size;
        for (unsigned b = 0; b < kBytes; ++b)
            ASSERT_EQ(s->z[1][b], c.zero ? 0 : before.z[2][c.index * bytes + b % bytes])
                << "size " << c.size << " index " << c.index << " byte " << b;
    }
}

} // namespace
