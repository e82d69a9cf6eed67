// LASTA, LASTB, CLASTA, CLASTB in every destination form, INSR, SPLICE and COMPACT through the
// decode lookup, and the kernels at a vector length other than the fixed one.
#include "permute_fixture.h"
#include "sve/decode/handlers.h"

using namespace permute_test;

namespace {

// The highest active element, or -1.
int last_of(Pattern pat, unsigned n) {
    int last = -1;
    for (unsigned i = 0; i < n; ++i)
        if (pattern_active(pat, i, n)) last = static_cast<int>(i);
    return last;
}

// LASTA and CLASTA take the element after the last active one (element 0 after the top one);
// LASTB and CLASTB the last active one.
unsigned chosen(bool b, int last, unsigned n) {
    return b ? static_cast<unsigned>(last) : (static_cast<unsigned>(last) + 1) % n;
}

TEST(Extract, LastToGeneralRegister) {
    uint32_t seed = 1;
    for (bool b : {false, true})
        for (unsigned size = 0; size < 4; ++size)
            for (Pattern pat : kPatterns)
                for (unsigned rd : {3u, 31u}) {
                    const unsigned bytes = 1u << size, n = kBytes / bytes;
                    auto s = random_state(seed++);
                    set_pattern(*s, 5, bytes, pat);
                    const int last = last_of(pat, n);
                    // With none active LASTA takes element 0 and LASTB the top element.
                    const unsigned at = last < 0 ? (b ? n - 1 : 0) : chosen(b, last, n);
                    cpu_state want = *s;
                    if (rd != 31) want.x[rd] = z_element(*s, 9, bytes, at);
                    ASSERT_EQ(emulate(*s, enc::last_r(b, size, rd, 5, 9)), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << (b ? "lastb" : "lasta") << " size " << size << " rd " << rd
                        << " pattern " << static_cast<int>(pat);
                }
}

TEST(Extract, LastToSimdRegisterClearsTheRest) {
    uint32_t seed = 100;
    for (bool b : {false, true})
        for (unsigned size = 0; size < 4; ++size)
            for (Pattern pat : kPatterns)
                for (unsigned vd : {4u, 9u}) { // Vd also the source
                    const unsigned bytes = 1u << size, n = kBytes / bytes;
                    auto s = random_state(seed++);
                    set_pattern(*s, 2, bytes, pat);
                    const int last = last_of(pat, n);
                    const unsigned at = last < 0 ? (b ? n - 1 : 0) : chosen(b, last, n);
                    cpu_state want = *s;
                    std::memset(want.z[vd], 0, kBytes);
                    set_z_element(want, vd, bytes, 0, z_element(*s, 9, bytes, at));
                    ASSERT_EQ(emulate(*s, enc::last_v(b, size, vd, 2, 9)), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << (b ? "lastb" : "lasta") << " size " << size << " vd " << vd;
                }
}

TEST(Extract, ConditionalLastToGeneralRegister) {
    uint32_t seed = 200;
    for (bool b : {false, true})
        for (unsigned size = 0; size < 4; ++size)
            for (Pattern pat : kPatterns)
                for (unsigned rdn : {6u, 31u}) {
                    const unsigned bytes = 1u << size, n = kBytes / bytes;
                    auto s = random_state(seed++);
                    set_pattern(*s, 1, bytes, pat);
                    const int last = last_of(pat, n);
                    cpu_state want = *s;
                    // With none active the register keeps only its low esize bits.
                    const uint64_t old = rdn == 31 ? 0 : s->x[rdn];
                    const uint64_t v = last < 0 ? low_bits(old, bytes)
                                                : z_element(*s, 20, bytes, chosen(b, last, n));
                    if (rdn != 31) want.x[rdn] = v;
                    ASSERT_EQ(emulate(*s, enc::clast_r(b, size, rdn, 1, 20)), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << (b ? "clastb" : "clasta") << " size " << size << " rdn " << rdn
                        << " pattern " << static_cast<int>(pat);
                }
}

TEST(Extract, ConditionalLastToSimdRegister) {
    uint32_t seed = 300;
    for (bool b : {false, true})
        for (unsigned size = 0; size < 4; ++size)
            for (Pattern pat : kPatterns) {
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                set_pattern(*s, 3, bytes, pat);
                const int last = last_of(pat, n);
                cpu_state want = *s;
                const uint64_t v = last < 0 ? z_element(*s, 7, bytes, 0)
                                            : z_element(*s, 8, bytes, chosen(b, last, n));
                std::memset(want.z[7], 0, kBytes);
                set_z_element(want, 7, bytes, 0, v);
                ASSERT_EQ(emulate(*s, enc::clast_v(b, size, 7, 3, 8)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << (b ? "clastb" : "clasta") << " size " << size << " pattern "
                    << static_cast<int>(pat);
            }
}

TEST(Extract, ConditionalLastToVectorBroadcastsOrKeeps) {
    uint32_t seed = 400;
    for (bool b : {false, true})
        for (unsigned size = 0; size < 4; ++size)
            for (Pattern pat : kPatterns)
                for (unsigned zm : {12u, 11u}) { // Zm also the destination
                    const unsigned bytes = 1u << size, n = kBytes / bytes;
                    auto s = random_state(seed++);
                    set_pattern(*s, 4, bytes, pat);
                    const int last = last_of(pat, n);
                    cpu_state want = *s;
                    if (last >= 0)
                        for (unsigned i = 0; i < n; ++i)
                            set_z_element(want, 11, bytes, i,
                                          z_element(*s, zm, bytes, chosen(b, last, n)));
                    ASSERT_EQ(emulate(*s, enc::clast_z(b, size, 11, 4, zm)), DECODE_OK);
                    EXPECT_EQ(state_difference(*s, want, kCompared), "")
                        << (b ? "clastb" : "clasta") << " size " << size << " zm " << zm;
                }
}

TEST(Extract, KnownLastElements) {
    auto s = random_state(5);
    for (unsigned i = 0; i < 48; ++i)
        set_z_element(*s, 1, 4, i, 0xa0000000u + i);
    set_pattern(*s, 0, 4, Pattern::none);
    s->x[0] = 0x123456789abcdef0u;
    ASSERT_EQ(emulate(*s, enc::last_r(true, 2, 2, 0, 1)), DECODE_OK);  // lastb w2, p0, z1.s
    EXPECT_EQ(s->x[2], 0xa000002fu);                                   // the 48th word
    ASSERT_EQ(emulate(*s, enc::clast_r(true, 2, 0, 0, 1)), DECODE_OK); // clastb w0, p0, w0, z1.s
    EXPECT_EQ(s->x[0], 0x9abcdef0u);
    s->x[0] = 0x123456789abcdef0u;
    set_pattern(*s, 0, 1, Pattern::none); // the word pattern's other bytes are noise
    ASSERT_EQ(emulate(*s, enc::clast_r(false, 0, 0, 0, 1)), DECODE_OK); // clasta w0, p0, w0, z1.b
    EXPECT_EQ(s->x[0], 0xf0u);
    set_pattern(*s, 0, 4, Pattern::last_only);
    ASSERT_EQ(emulate(*s, enc::last_r(false, 2, 2, 0, 1)), DECODE_OK); // lasta wraps to word 0
    EXPECT_EQ(s->x[2], 0xa0000000u);
    ASSERT_EQ(emulate(*s, enc::clast_r(false, 2, 2, 0, 1)), DECODE_OK);
    EXPECT_EQ(s->x[2], 0xa0000000u);
}

TEST(Extract, InsertFromGeneralAndSimdRegisters) {
    uint32_t seed = 500;
    for (bool simd : {false, true})
        for (unsigned size = 0; size < 4; ++size)
            for (unsigned src : {2u, 31u, 13u}) { // 31 is XZR / V31; 13 the destination
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                const uint64_t scalar = simd        ? z_element(*s, src, bytes, 0)
                                        : src == 31 ? 0
                                                    : low_bits(s->x[src], bytes);
                cpu_state want = *s;
                for (unsigned i = 1; i < n; ++i)
                    set_z_element(want, 13, bytes, i, z_element(*s, 13, bytes, i - 1));
                set_z_element(want, 13, bytes, 0, scalar);
                const uint32_t e = simd ? enc::insr_v(size, 13, src) : enc::insr_r(size, 13, src);
                ASSERT_EQ(emulate(*s, e), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << (simd ? "simd" : "general") << " size " << size << " src " << src;
            }
}

TEST(Extract, InsertByteMovesEveryByteUp) {
    auto s = random_state(6);
    const auto before = *s;
    s->x[4] = 0xfff00000000000abu;
    ASSERT_EQ(emulate(*s, enc::insr_r(0, 1, 4)), DECODE_OK);
    EXPECT_EQ(s->z[1][0], 0xabu);
    EXPECT_EQ(std::memcmp(s->z[1] + 1, before.z[1], kBytes - 1), 0);
}

TEST(Extract, SpliceEveryPattern) {
    uint32_t seed = 600;
    for (unsigned size = 0; size < 4; ++size)
        for (Pattern pat : kPatterns)
            for (unsigned zm : {21u, 20u}) { // Zm also Zdn
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                set_pattern(*s, 6, bytes, pat);
                // The segment from the first to the last active element, then Zm from 0.
                std::vector<uint64_t> expect;
                int first = -1, last = -1;
                for (unsigned i = 0; i < n; ++i)
                    if (pattern_active(pat, i, n)) {
                        if (first < 0) first = static_cast<int>(i);
                        last = static_cast<int>(i);
                    }
                for (int i = first; first >= 0 && i <= last; ++i)
                    expect.push_back(z_element(*s, 20, bytes, static_cast<unsigned>(i)));
                for (unsigned i = 0; expect.size() < n; ++i)
                    expect.push_back(z_element(*s, zm, bytes, i));
                cpu_state want = *s;
                for (unsigned i = 0; i < n; ++i)
                    set_z_element(want, 20, bytes, i, expect[i]);
                ASSERT_EQ(emulate(*s, enc::splice(size, 20, 6, zm)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << "size " << size << " pattern " << static_cast<int>(pat) << " zm " << zm;
            }
}

TEST(Extract, SpliceAllFalseGivesZm) {
    auto s = random_state(7);
    set_pattern(*s, 0, 1, Pattern::none);
    const auto before = *s;
    ASSERT_EQ(emulate(*s, enc::splice(0, 1, 0, 2)), DECODE_OK);
    EXPECT_EQ(std::memcmp(s->z[1], before.z[2], kBytes), 0);
}

TEST(Extract, CompactEveryPattern) {
    uint32_t seed = 700;
    for (unsigned size = 2; size < 4; ++size)
        for (Pattern pat : kPatterns)
            for (unsigned zn : {9u, 8u}) { // Zn also the destination
                const unsigned bytes = 1u << size, n = kBytes / bytes;
                auto s = random_state(seed++);
                set_pattern(*s, 7, bytes, pat);
                cpu_state want = *s;
                std::memset(want.z[8], 0, kBytes);
                unsigned x = 0;
                for (unsigned i = 0; i < n; ++i)
                    if (pattern_active(pat, i, n))
                        set_z_element(want, 8, bytes, x++, z_element(*s, zn, bytes, i));
                ASSERT_EQ(emulate(*s, enc::compact(size, 8, 7, zn)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << "size " << size << " pattern " << static_cast<int>(pat) << " zn " << zn;
            }
}

// The kernels take the element count from the context: at 128 bits a byte vector has 16
// elements, and the element after element 15 is element 0.
TEST(ExtractKernels, FollowTheContextVectorLength) {
    CpuContext ctx{};
    ctx.vl = 2;
    VecValue v{};
    for (unsigned i = 0; i < 256; ++i)
        v.bytes[i] = static_cast<uint8_t>(i + 1);
    PredV top{};
    top.set_bit(15, true);
    top.set_bit(40, true); // beyond the vector: not an element
    EXPECT_EQ(VecU8LastAV(top, v, &ctx), 1u);
    EXPECT_EQ(VecB8CondXASV(top, 0x77, v, &ctx), 1u);
    EXPECT_EQ(VecB8CondXBSV(top, 0x77, v, &ctx), 16u);
    PredV none{};
    EXPECT_EQ(VecU16CondXASV(none, 0xabcd1234u, v, &ctx), 0x1234u);
    const VecValue spliced = VecU8SpliceVV(top, v, v, &ctx);
    EXPECT_EQ(spliced.bytes[0], 16u);
    EXPECT_EQ(spliced.bytes[1], 1u);
    EXPECT_EQ(spliced.bytes[15], 15u);
    const VecValue inserted = VecU32InsertS(v, 0xdeadbeef, &ctx);
    EXPECT_EQ(inserted.get<uint32_t>(0), 0xdeadbeefu);
    EXPECT_EQ(inserted.get<uint32_t>(3), v.get<uint32_t>(2));
    const VecValue unpacked = VecS16UnpackHiV(v, &ctx); // the high half is bytes 8..15
    EXPECT_EQ(unpacked.get<uint16_t>(0), 9u);
    EXPECT_EQ(unpacked.get<uint16_t>(7), 16u);
}

} // namespace
