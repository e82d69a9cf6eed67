// ZIP, UZP, TRN, REV, TBL, EXT and the unpacks through the decode lookup, and the whole-register
// byte movements the predicate permutes share.
#include "permute_fixture.h"
#include "sve/exec/integer/permute_bodies.h"

using namespace permute_test;

namespace {

// Where element i of a two-source permute's result comes from: Zn (false) or Zm (true), and
// which element.
struct Source {
    bool from_m;
    unsigned index;
};
using SourceFn = Source (*)(unsigned i, unsigned n);

struct Permute3 {
    const char *name;
    unsigned opc;
    SourceFn source;
};
// The permutes as the instruction set describes them: interleaving halves, picking even or odd
// elements of the concatenation, transposing pairs.
const Permute3 kPermutes[] = {
    {"zip1", 0,
     [](unsigned i, unsigned) {
         return Source{i % 2 == 1, i / 2};
     }},
    {"zip2", 1,
     [](unsigned i, unsigned n) {
         return Source{i % 2 == 1, n / 2 + i / 2};
     }},
    {"uzp1", 2,
     [](unsigned i, unsigned n) {
         return Source{2 * i >= n, 2 * i >= n ? 2 * i - n : 2 * i};
     }},
    {"uzp2", 3,
     [](unsigned i, unsigned n) {
         const unsigned k = 2 * i + 1;
         return Source{k >= n, k >= n ? k - n : k};
     }},
    {"trn1", 4,
     [](unsigned i, unsigned) {
         return Source{i % 2 == 1, i - i % 2};
     }},
    {"trn2", 5,
     [](unsigned i, unsigned) {
         return Source{i % 2 == 1, i - i % 2 + 1};
     }},
};

// Register triples (zd, zn, zm), with the destination aliasing each source and both sources
// equal.
struct Regs {
    unsigned zd, zn, zm;
};
const Regs kRegs[] = {{1, 2, 3}, {4, 4, 5}, {6, 7, 6}, {8, 9, 9}, {31, 0, 30}};

TEST(Permutes, TwoSourcePermutesEverySizeAndAliasing) {
    uint32_t seed = 1;
    for (const Permute3 &p : kPermutes)
        for (unsigned size = 0; size < 4; ++size)
            for (const Regs &r : kRegs) {
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                cpu_state want = *s;
                for (unsigned i = 0; i < n; ++i) {
                    const Source src = p.source(i, n);
                    set_z_element(want, r.zd, bytes, i,
                                  z_element(*s, src.from_m ? r.zm : r.zn, bytes, src.index));
                }
                ASSERT_EQ(emulate(*s, enc::permute3(p.opc, size, r.zd, r.zn, r.zm)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << p.name << " size " << size << " zd " << r.zd;
            }
}

// Zn halfwords hold their own index, Zm 0x1000 + index: the results name their sources.
TEST(Permutes, HalfwordResultsNameTheirSources) {
    struct Spot {
        unsigned opc, element;
        uint64_t value;
    };
    const Spot spots[] = {
        {0, 0, 0},  {0, 1, 0x1000},  {0, 95, 0x102f}, // zip1: low halves interleaved
        {1, 0, 48}, {1, 1, 0x1030},  {1, 95, 0x105f}, // zip2: high halves
        {2, 0, 0},  {2, 47, 94},     {2, 48, 0x1000}, // uzp1: even elements, Zn then Zm
        {3, 0, 1},  {3, 95, 0x105f},                  // uzp2: odd elements
        {4, 2, 2},  {4, 3, 0x1002},                   // trn1
        {5, 0, 1},  {5, 1, 0x1001},  {5, 95, 0x105f}, // trn2
    };
    for (const Spot &spot : spots) {
        auto s = random_state(7);
        for (unsigned i = 0; i < 96; ++i) {
            set_z_element(*s, 2, 2, i, i);
            set_z_element(*s, 3, 2, i, 0x1000 + i);
        }
        ASSERT_EQ(emulate(*s, enc::permute3(spot.opc, 1, 1, 2, 3)), DECODE_OK);
        EXPECT_EQ(z_element(*s, 1, 2, spot.element), spot.value)
            << "opc " << spot.opc << " element " << spot.element;
    }
}

TEST(Permutes, ReverseEverySize) {
    uint32_t seed = 100;
    for (unsigned size = 0; size < 4; ++size)
        for (unsigned zn : {5u, 9u}) {
            const unsigned bytes = 1u << size, n = kBytes / bytes, zd = 9;
            auto s = random_state(seed++);
            cpu_state want = *s;
            for (unsigned i = 0; i < n; ++i)
                set_z_element(want, zd, bytes, n - 1 - i, z_element(*s, zn, bytes, i));
            ASSERT_EQ(emulate(*s, enc::rev(size, zd, zn)), DECODE_OK);
            EXPECT_EQ(state_difference(*s, want, kCompared), "") << "size " << size << " zn " << zn;
        }
}

TEST(Permutes, TableLookupIndicesAtTheEdges) {
    // Indices relative to the element count n: in range, at n, far beyond, and all ones (which
    // is no small negative number to the lookup).
    uint32_t seed = 200;
    for (unsigned size = 0; size < 4; ++size) {
        const unsigned bytes = 1u << size, n = kBytes / bytes;
        const uint64_t all_ones = low_bits(~uint64_t{0}, bytes);
        const uint64_t indices[] = {0, 1, n - 1, n, n + 1, all_ones, all_ones - 1, n / 2};
        for (unsigned zm : {3u, 1u}) { // Zm also the destination
            auto s = random_state(seed++);
            for (unsigned i = 0; i < n; ++i)
                set_z_element(*s, zm, bytes, i, indices[i % 8]);
            cpu_state want = *s;
            for (unsigned i = 0; i < n; ++i) {
                const uint64_t idx = indices[i % 8];
                set_z_element(want, 1, bytes, i, idx < n ? z_element(*s, 2, bytes, idx) : 0);
            }
            ASSERT_EQ(emulate(*s, enc::tbl(size, 1, 2, zm)), DECODE_OK);
            EXPECT_EQ(state_difference(*s, want, kCompared), "") << "size " << size << " zm " << zm;
        }
    }
}

TEST(Permutes, TableLookupKnownBytes) {
    auto s = random_state(9);
    for (unsigned i = 0; i < kBytes; ++i)
        s->z[2][i] = static_cast<uint8_t>(0xff - i);
    const uint8_t idx[] = {0, 191, 192, 255, 5};
    const uint8_t want[] = {0xff, 0x40, 0, 0, 0xfa};
    for (unsigned i = 0; i < kBytes; ++i)
        s->z[3][i] = idx[i % 5];
    ASSERT_EQ(emulate(*s, enc::tbl(0, 4, 2, 3)), DECODE_OK);
    for (unsigned i = 0; i < kBytes; ++i)
        ASSERT_EQ(s->z[4][i], want[i % 5]) << "byte " << i;
}

TEST(Permutes, ExtractEveryOffsetClass) {
    // 0 keeps Zdn; 191 is Zdn's last byte then Zm's first 191; 192 and above keep Zdn.
    uint32_t seed = 300;
    for (unsigned imm : {0u, 1u, 100u, 190u, 191u, 192u, 200u, 255u})
        for (unsigned zm : {6u, 5u}) {
            auto s = random_state(seed++);
            cpu_state want = *s;
            uint8_t concatenated[2 * kBytes];
            std::memcpy(concatenated, s->z[5], kBytes);
            std::memcpy(concatenated + kBytes, s->z[zm], kBytes);
            if (imm < kBytes) std::memcpy(want.z[5], concatenated + imm, kBytes);
            ASSERT_EQ(emulate(*s, enc::ext(5, zm, imm)), DECODE_OK);
            EXPECT_EQ(state_difference(*s, want, kCompared), "") << "imm " << imm << " zm " << zm;
        }
}

TEST(Permutes, ExtractAtOffset191) {
    auto s = random_state(10);
    ASSERT_EQ(emulate(*s, enc::ext(1, 2, 191)), DECODE_OK);
    auto before = random_state(10);
    EXPECT_EQ(s->z[1][0], before->z[1][191]);
    EXPECT_EQ(std::memcmp(s->z[1] + 1, before->z[2], 191), 0);
}

TEST(Permutes, UnpacksSignedAndUnsignedEveryWidth) {
    uint32_t seed = 400;
    for (unsigned size = 1; size < 4; ++size)
        for (bool is_unsigned : {false, true})
            for (bool high : {false, true})
                for (unsigned zn : {2u, 1u}) {
                    const unsigned wide = 1u << size, narrow = wide / 2, n = kBytes / wide;
                    auto s = random_state(seed++);
                    // Narrow elements with the sign bit set and clear, side by side.
                    for (unsigned i = 0; i < 2 * n; i += 2)
                        set_z_element(*s, zn, narrow, i,
                                      z_element(*s, zn, narrow, i) | 1ull << (8 * narrow - 1));
                    cpu_state want = *s;
                    for (unsigned i = 0; i < n; ++i) {
                        const uint64_t v = z_element(*s, zn, narrow, (high ? n : 0) + i);
                        set_z_element(want, 1, wide, i,
                                      is_unsigned ? v : low_bits(sign_extend(v, narrow), wide));
                    }
                    ASSERT_EQ(emulate(*s, enc::unpack(is_unsigned, high, size, 1, zn)), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << "size " << size << " unsigned " << is_unsigned << " high " << high;
                }
}

TEST(Permutes, UnpackKnownValues) {
    auto s = random_state(11);
    s->z[2][0] = 0x80;
    s->z[2][96] = 0x7f;
    s->z[2][191] = 0xff;
    ASSERT_EQ(emulate(*s, enc::unpack(false, false, 1, 3, 2)), DECODE_OK); // sunpklo z3.h, z2.b
    EXPECT_EQ(z_element(*s, 3, 2, 0), 0xff80u);
    ASSERT_EQ(emulate(*s, enc::unpack(true, false, 1, 3, 2)), DECODE_OK); // uunpklo
    EXPECT_EQ(z_element(*s, 3, 2, 0), 0x80u);
    ASSERT_EQ(emulate(*s, enc::unpack(false, true, 1, 3, 2)), DECODE_OK); // sunpkhi
    EXPECT_EQ(z_element(*s, 3, 2, 0), 0x7fu);
    EXPECT_EQ(z_element(*s, 3, 2, 95), 0xffffu);
}

// The shared bodies move the bytes the instruction set defines for the permutes, with the
// destination also a source (as predicate executors call them).
TEST(PermuteBodies, MoveTheDefinedBytesInPlace) {
    using Body = void (*)(uint8_t *, const uint8_t *, const uint8_t *, uint32_t);
    const Body bodies[] = {sve_zip1, sve_zip2, sve_uzp1}; // kPermutes[0..2]
    uint32_t seed = 500;
    for (unsigned k = 0; k < 3; ++k)
        for (unsigned size = 0; size < 4; ++size) {
            const unsigned bytes = 1u << size, n = kBytes / bytes;
            auto s = random_state(seed++);
            cpu_state want = *s;
            for (unsigned i = 0; i < n; ++i) {
                const Source src = kPermutes[k].source(i, n);
                set_z_element(want, 1, bytes, i,
                              z_element(*s, src.from_m ? 2 : 1, bytes, src.index));
            }
            bodies[k](s->z[1], s->z[1], s->z[2], size);
            EXPECT_EQ(std::memcmp(s->z[1], want.z[1], kBytes), 0)
                << kPermutes[k].name << " size " << size;
        }
}

} // namespace
