// Load and replicate (LD1R*) and load and replicate quadword (LD1RQ*) through the lookup, and the
// quadword kernels at other vector lengths.
#include "sve/decode/handlers.h"
#include "tests/memory/memory_fixture.h"

namespace memory_test {
namespace {

struct ReplicateForm {
    const char *name;
    uint32_t encoding; // "ld1rsb {z0.h}, p0/z, [x0]"; imm6 at bits 21..16 counts memory elements
    unsigned msize, esize;
    bool sign;
};

const ReplicateForm kReplicateForms[] = {
    {"ld1rb.b", 0x84408000, 1, 1, false}, {"ld1rb.h", 0x8440a000, 1, 2, false},
    {"ld1rb.s", 0x8440c000, 1, 4, false}, {"ld1rb.d", 0x8440e000, 1, 8, false},
    {"ld1rsb.h", 0x85c0c000, 1, 2, true}, {"ld1rsb.s", 0x85c0a000, 1, 4, true},
    {"ld1rsb.d", 0x85c08000, 1, 8, true}, {"ld1rh.h", 0x84c0a000, 2, 2, false},
    {"ld1rh.s", 0x84c0c000, 2, 4, false}, {"ld1rh.d", 0x84c0e000, 2, 8, false},
    {"ld1rsh.s", 0x8540a000, 2, 4, true}, {"ld1rsh.d", 0x85408000, 2, 8, true},
    {"ld1rw.s", 0x8540c000, 4, 4, false}, {"ld1rw.d", 0x8540e000, 4, 8, false},
    {"ld1rsw.d", 0x84c08000, 4, 8, true}, {"ld1rd.d", 0x85c0e000, 8, 8, false},
};

uint32_t ld1r(const ReplicateForm &f, unsigned zt, unsigned pg, unsigned rn, unsigned imm) {
    return f.encoding | imm << 16 | pg << 10 | rn << 5 | zt;
}

TEST(LoadReplicate, EveryActiveElementGetsTheOneValue) {
    std::mt19937_64 rng(31);
    GuestBuffer mem(1024);
    for (const ReplicateForm &f : kReplicateForms) {
        for (unsigned imm : {0u, 1u, 17u, 63u}) {
            mem.fill_random(rng);
            auto s = random_state(rng, kPc);
            const unsigned zt = rng() % 32, pg = rng() % 8, rn = rng() % 32;
            set_x_or_sp(*s, rn, mem.address_of(256));
            const cpu_state before = *s;
            ASSERT_EQ(emulate(*s, ld1r(f, zt, pg, rn, imm)), DECODE_OK) << f.name;
            const uint64_t value =
                extend(mem.value_at(mem.address_of(256 + imm * f.msize), f.msize), f.msize, f.esize,
                       f.sign);
            for (unsigned i = 0; i < kBytes / f.esize; ++i)
                ASSERT_EQ(z_element(*s, zt, f.esize, i), active(*s, pg, f.esize, i) ? value : 0)
                    << f.name << " imm " << imm << " element " << i;
            cpu_state want = before;
            std::memcpy(want.z[zt], s->z[zt], kBytes);
            want.encoding = s->encoding;
            EXPECT_EQ(std::memcmp(&want, s.get(), sizeof want), 0) << f.name;
        }
    }
}

TEST(LoadReplicate, SignExtendsOnlyTheSignedForms) {
    GuestBuffer mem(64);
    std::fill(mem.bytes().begin(), mem.bytes().end(), 0x80);
    std::mt19937_64 rng(32);
    auto s = random_state(rng, kPc);
    s->x[0] = mem.address_of(0);
    std::memset(s->p[0], 1, kBytes);
    ASSERT_EQ(emulate(*s, ld1r(kReplicateForms[4], 1, 0, 0, 0)), DECODE_OK);  // ld1rsb.h
    ASSERT_EQ(emulate(*s, ld1r(kReplicateForms[1], 2, 0, 0, 0)), DECODE_OK);  // ld1rb.h
    ASSERT_EQ(emulate(*s, ld1r(kReplicateForms[14], 3, 0, 0, 0)), DECODE_OK); // ld1rsw.d
    EXPECT_EQ(z_element(*s, 1, 2, 95), 0xff80u);
    EXPECT_EQ(z_element(*s, 2, 2, 95), 0x0080u);
    EXPECT_EQ(z_element(*s, 3, 8, 23), 0xffffffff80808080ull);
}

TEST(LoadReplicate, AllFalsePredicateReadsNothing) {
    NoAccessPage hole;
    for (const ReplicateForm &f : kReplicateForms) {
        std::mt19937_64 rng(f.encoding);
        auto s = random_state(rng, kPc);
        s->x[7] = hole.address();
        std::memset(s->p[5], 0, kBytes);
        ASSERT_EQ(emulate(*s, ld1r(f, 4, 5, 7, 9)), DECODE_OK);
        for (unsigned b = 0; b < kBytes; ++b)
            ASSERT_EQ(s->z[4][b], 0) << f.name;
    }
}

struct QuadForm {
    const char *name;
    uint32_t imm_encoding;   // "ld1rqh {z0.h}, p0/z, [x0]": imm4 at 19..16 counts 16 bytes
    uint32_t index_encoding; // "ld1rqh {z0.h}, p0/z, [x0, x0, lsl #1]"
    unsigned msize;
};

const QuadForm kQuadForms[] = {
    {"ld1rqb", 0xa4002000, 0xa4000000, 1},
    {"ld1rqh", 0xa4802000, 0xa4800000, 2},
    {"ld1rqw", 0xa5002000, 0xa5000000, 4},
    {"ld1rqd", 0xa5802000, 0xa5800000, 8},
};

// The block element j is governed by predicate byte j * msize; every segment holds the block.
void expect_quad(const cpu_state &s, const GuestBuffer &mem, const QuadForm &f, unsigned zt,
                 unsigned pg, uint64_t address) {
    uint8_t block[16] = {};
    for (unsigned j = 0; j < 16 / f.msize; ++j)
        if (s.p[pg][j * f.msize] & 1)
            for (unsigned k = 0; k < f.msize; ++k)
                block[j * f.msize + k] = mem.byte_at(address + j * f.msize + k);
    for (unsigned b = 0; b < kBytes; ++b)
        ASSERT_EQ(s.z[zt][b], block[b % 16]) << f.name << " byte " << b;
}

TEST(LoadReplicateQuad, BothAddressingFormsMatchModel) {
    std::mt19937_64 rng(41);
    GuestBuffer mem(1024);
    for (const QuadForm &f : kQuadForms) {
        for (int offset : {-8, -1, 0, 1, 7}) {
            mem.fill_random(rng);
            auto s = random_state(rng, kPc);
            const unsigned zt = rng() % 32, pg = rng() % 8, rn = rng() % 32;
            unsigned rm = rng() % 31;
            if (rm == rn) rm = (rm + 1) % 31;
            set_x_or_sp(*s, rn, mem.middle());
            s->x[rm] = static_cast<uint64_t>(int64_t{offset} * 3);
            ASSERT_EQ(emulate(*s, f.imm_encoding | (static_cast<unsigned>(offset) & 15u) << 16 |
                                      pg << 10 | rn << 5 | zt),
                      DECODE_OK);
            expect_quad(*s, mem, f, zt, pg, mem.middle() + int64_t{offset} * 16);
            ASSERT_EQ(emulate(*s, f.index_encoding | rm << 16 | pg << 10 | rn << 5 | zt),
                      DECODE_OK);
            expect_quad(*s, mem, f, zt, pg, mem.middle() + int64_t{offset} * 3 * f.msize);
        }
    }
}

// Only predicate bit 8 set: the low doubleword of every segment is 0, the high one memory
// doubleword 1.
TEST(LoadReplicateQuad, DoublewordsUnderPredicateBitEight) {
    GuestBuffer mem(64);
    for (unsigned b = 0; b < 64; ++b)
        mem.bytes()[b] = static_cast<uint8_t>(0x10 + b);
    std::mt19937_64 rng(42);
    auto s = random_state(rng, kPc);
    std::memset(s->p[1], 0, kBytes);
    s->p[1][8] = 1;
    s->x[3] = mem.address_of(0);
    ASSERT_EQ(emulate(*s, kQuadForms[3].index_encoding | 31u << 16 | 1u << 10 | 3u << 5 | 6),
              DECODE_OK);
    for (unsigned seg = 0; seg < 12; ++seg) {
        EXPECT_EQ(z_element(*s, 6, 8, 2 * seg), 0u) << seg;
        EXPECT_EQ(z_element(*s, 6, 8, 2 * seg + 1), mem.value_at(mem.address_of(8), 8)) << seg;
    }
}

// The kernels take the segment count from the context: 128 bits give one segment.
TEST(LoadReplicateQuad, KernelRepeatsPerContextVectorLength) {
    GuestBuffer mem(64);
    for (unsigned b = 0; b < 64; ++b)
        mem.bytes()[b] = static_cast<uint8_t>(b + 1);
    PredV all;
    for (uint64_t &w : all.words)
        w = ~uint64_t{0};
    for (uint32_t vl : {2u, 4u, 24u, 32u}) {
        CpuContext ctx{};
        ctx.vl = vl;
        const VecValue v = VecU32LoadDup4QSIZ(all, mem.address_of(0), 1, &ctx);
        for (unsigned b = 0; b < vl * 8; ++b)
            ASSERT_EQ(v.bytes[b], 17 + b % 16) << "vl " << vl << " byte " << b;
    }
}

} // namespace
} // namespace memory_test
