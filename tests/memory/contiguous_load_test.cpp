// Contiguous loads (LD1*, LD1S*, LDNT1*) through the lookup, against a model of the access, and
// their addressing edge cases.
#include "tests/memory/memory_fixture.h"

namespace memory_test {
namespace {

// Zt as the model says: active elements from memory at element i's address, extended;
// inactive ones zero.
void expect_loaded(const cpu_state &s, const GuestBuffer &mem, const ContiguousForm &f,
                   const Registers &r, uint64_t address) {
    for (unsigned i = 0; i < kBytes / f.esize; ++i) {
        const uint64_t want =
            active(s, r.pg, f.esize, i)
                ? extend(mem.value_at(address + i * f.msize, f.msize), f.msize, f.esize, f.sign)
                : 0;
        ASSERT_EQ(z_element(s, r.zt, f.esize, i), want) << f.name << " element " << i;
    }
}

// Everything but Zt is left alone.
void expect_only_zt_changed(const cpu_state &before, const cpu_state &after, unsigned zt) {
    cpu_state want = before;
    std::memcpy(want.z[zt], after.z[zt], kBytes);
    want.encoding = after.encoding;
    EXPECT_EQ(std::memcmp(&want, &after, sizeof want), 0);
}

TEST(ContiguousLoad, ScalarPlusImmediateMatchesModel) {
    std::mt19937_64 rng(11);
    GuestBuffer mem(8192);
    for (const ContiguousForm &f : contiguous_loads()) {
        for (int imm = -8; imm <= 7; ++imm) {
            mem.fill_random(rng);
            const std::vector<uint8_t> memory_before = mem.bytes();
            auto s = random_state(rng, kPc);
            const Registers r = random_registers(rng);
            set_x_or_sp(*s, r.rn, mem.middle());
            const cpu_state before = *s;
            ASSERT_EQ(emulate(*s, with_imm(f, r.zt, r.pg, r.rn, imm)), DECODE_OK) << f.name;
            // The immediate counts vector lengths of memory elements: 192 / esize of them.
            const uint64_t address = mem.middle() + int64_t{imm} * (kBytes / f.esize) * f.msize;
            expect_loaded(*s, mem, f, r, address);
            expect_only_zt_changed(before, *s, r.zt);
            EXPECT_EQ(mem.bytes(), memory_before) << f.name;
        }
    }
}

TEST(ContiguousLoad, ScalarPlusScalarMatchesModel) {
    std::mt19937_64 rng(12);
    GuestBuffer mem(8192);
    for (const ContiguousForm &f : contiguous_loads()) {
        for (int64_t index : {-100, -1, 0, 1, 37, 200}) {
            mem.fill_random(rng);
            auto s = random_state(rng, kPc);
            const Registers r = random_registers(rng);
            set_x_or_sp(*s, r.rn, mem.middle());
            s->x[r.rm] = static_cast<uint64_t>(index);
            const cpu_state before = *s;
            ASSERT_EQ(emulate(*s, with_index(f, r.zt, r.pg, r.rn, r.rm)), DECODE_OK) << f.name;
            expect_loaded(*s, mem, f, r, mem.middle() + index * f.msize);
            expect_only_zt_changed(before, *s, r.zt);
        }
    }
}

// The predicate byte at an element's first byte governs it; the element's other bytes do not.
TEST(ContiguousLoad, OnlyTheFirstPredicateByteOfAnElementCounts) {
    GuestBuffer mem(4096);
    std::mt19937_64 rng(13);
    mem.fill_random(rng);
    const ContiguousForm &ld1w_d = contiguous_loads()[13];
    ASSERT_STREQ(ld1w_d.name, "ld1w.d");
    auto s = random_state(rng, kPc);
    s->x[2] = mem.middle();
    for (unsigned b = 0; b < kBytes; ++b)
        s->p[1][b] = (b % 8 == 0) ? (b / 8) % 2 : 1; // even elements active
    ASSERT_EQ(emulate(*s, with_imm(ld1w_d, 4, 1, 2, 0)), DECODE_OK);
    for (unsigned i = 0; i < 24; ++i)
        EXPECT_EQ(z_element(*s, 4, 8, i), i % 2 ? mem.value_at(mem.middle() + 4 * i, 4) : 0) << i;
}

struct ExtensionCase {
    unsigned form; // index into contiguous_loads()
    uint64_t memory_value;
    uint64_t element_value;
};

TEST(ContiguousLoad, ExtendsByTheMnemonic) {
    const ExtensionCase cases[] = {
        {1, 0x80, 0x0080},                            // LD1B into halfwords
        {4, 0x80, 0xff80},                            // LD1SB into halfwords
        {5, 0x7f, 0x7f},                              // LD1SB, positive
        {6, 0xfe, 0xfffffffffffffffe},                // LD1SB into doublewords
        {9, 0x8001, 0x8001},                          // LD1H into doublewords
        {10, 0x8001, 0xffff8001},                     // LD1SH into words
        {13, 0x80000000, 0x80000000},                 // LD1W into doublewords
        {14, 0x80000000, 0xffffffff80000000},         // LD1SW
        {15, 0x8000000000000001, 0x8000000000000001}, // LD1D
    };
    for (const ExtensionCase &c : cases) {
        const ContiguousForm &f = contiguous_loads()[c.form];
        GuestBuffer mem(1024);
        for (unsigned i = 0; i < kBytes / f.esize; ++i)
            std::memcpy(&mem.bytes()[512 + i * f.msize], &c.memory_value, f.msize);
        std::mt19937_64 rng(c.form);
        auto s = random_state(rng, kPc);
        s->x[0] = mem.middle();
        std::memset(s->p[0], 1, kBytes);
        ASSERT_EQ(emulate(*s, with_imm(f, 0, 0, 0, 0)), DECODE_OK);
        for (unsigned i = 0; i < kBytes / f.esize; ++i)
            ASSERT_EQ(z_element(*s, 0, f.esize, i), c.element_value) << f.name << " " << i;
    }
}

struct AddressCase {
    unsigned form;
    int imm;
    int64_t first_byte; // of element 0, from the base
};

// imm x (192 / esize) x msize: a whole register of bytes only when esize = msize.
TEST(ContiguousLoad, ImmediateScalesByMemoryBytesOfOneAccess) {
    const AddressCase cases[] = {
        {12, -1, -192},                     // LD1W .S
        {13, 1, 96},                        // LD1W .D
        {3, 7, 7 * 24},                     // LD1B .D
        {7, -8, -8 * 192}, {11, 3, 3 * 48}, // LD1SH .D
    };
    for (const AddressCase &c : cases) {
        const ContiguousForm &f = contiguous_loads()[c.form];
        GuestBuffer mem(8192);
        std::mt19937_64 rng(77);
        mem.fill_random(rng);
        auto s = random_state(rng, kPc);
        s->x[9] = mem.middle();
        std::memset(s->p[3], 1, kBytes);
        ASSERT_EQ(emulate(*s, with_imm(f, 5, 3, 9, c.imm)), DECODE_OK);
        EXPECT_EQ(
            z_element(*s, 5, f.esize, 0),
            extend(mem.value_at(mem.middle() + c.first_byte, f.msize), f.msize, f.esize, f.sign))
            << f.name << " imm " << c.imm;
    }
}

TEST(ContiguousLoad, IndexRegister31IsZeroAndBaseRegister31IsSp) {
    for (const ContiguousForm &f : contiguous_loads()) {
        GuestBuffer mem(4096);
        std::mt19937_64 rng(f.index_encoding);
        mem.fill_random(rng);
        auto s = random_state(rng, kPc);
        s->sp = mem.middle();
        std::memset(s->p[2], 1, kBytes);
        ASSERT_EQ(emulate(*s, with_index(f, 7, 2, 31, 31)), DECODE_OK);
        expect_loaded(*s, mem, f, Registers{7, 2, 31, 31}, mem.middle());
    }
}

TEST(ContiguousLoad, AddressArithmeticWraps) {
    // Base near the top of the address space, index pointing back into the buffer.
    const ContiguousForm &f = contiguous_loads()[12]; // LD1W .S
    GuestBuffer mem(4096);
    std::mt19937_64 rng(5);
    mem.fill_random(rng);
    auto s = random_state(rng, kPc);
    const uint64_t base = ~uint64_t{0} - 3; // -4
    s->x[1] = base;
    s->x[2] = (mem.middle() - base) / 4; // base + 4 * index wraps to the middle
    ASSERT_EQ((mem.middle() - base) % 4, 0u);
    std::memset(s->p[0], 1, kBytes);
    ASSERT_EQ(emulate(*s, with_index(f, 0, 0, 1, 2)), DECODE_OK);
    expect_loaded(*s, mem, f, Registers{0, 0, 1, 2}, mem.middle());
}

// With no active element nothing is read: the base may point at a page that faults.
TEST(ContiguousLoad, AllFalsePredicateZeroesWithoutReading) {
    NoAccessPage hole;
    for (const ContiguousForm &f : contiguous_loads()) {
        std::mt19937_64 rng(f.imm_encoding);
        auto s = random_state(rng, kPc);
        s->x[3] = hole.address();
        s->x[4] = 16;
        std::memset(s->p[6], 0, kBytes);
        ASSERT_EQ(emulate(*s, with_imm(f, 8, 6, 3, 1)), DECODE_OK);
        ASSERT_EQ(emulate(*s, with_index(f, 9, 6, 3, 4)), DECODE_OK);
        for (unsigned b = 0; b < kBytes; ++b) {
            ASSERT_EQ(s->z[8][b], 0) << f.name;
            ASSERT_EQ(s->z[9][b], 0) << f.name;
        }
    }
}

} // namespace
} // namespace memory_test
