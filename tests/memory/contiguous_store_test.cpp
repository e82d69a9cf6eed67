// Contiguous stores (ST1*, STNT1*) through the lookup: truncation, inactive elements and the
// addressing forms, against a model of the access.
#include "tests/memory/memory_fixture.h"

namespace memory_test {
namespace {

// The memory the model expects: the low msize bytes of each active element at element i's
// address, every other byte as it was.
std::vector<uint8_t> model_store(const std::vector<uint8_t> &before, const GuestBuffer &mem,
                                 const cpu_state &s, const ContiguousForm &f, const Registers &r,
                                 uint64_t address) {
    std::vector<uint8_t> want = before;
    for (unsigned i = 0; i < kBytes / f.esize; ++i) {
        if (!active(s, r.pg, f.esize, i)) continue;
        const uint64_t v = z_element(s, r.zt, f.esize, i);
        std::memcpy(&want.at(mem.offset_of(address + i * f.msize)), &v, f.msize);
    }
    return want;
}

void run_and_check(std::mt19937_64 &rng, GuestBuffer &mem, const ContiguousForm &f, bool index_form,
                   int64_t offset) {
    mem.fill_random(rng);
    const std::vector<uint8_t> before = mem.bytes();
    auto s = random_state(rng, kPc);
    const Registers r = random_registers(rng);
    set_x_or_sp(*s, r.rn, mem.middle());
    uint32_t encoding;
    uint64_t address;
    if (index_form) {
        s->x[r.rm] = static_cast<uint64_t>(offset);
        encoding = with_index(f, r.zt, r.pg, r.rn, r.rm);
        address = mem.middle() + offset * f.msize;
    } else {
        encoding = with_imm(f, r.zt, r.pg, r.rn, static_cast<int>(offset));
        address = mem.middle() + offset * (kBytes / f.esize) * f.msize;
    }
    const cpu_state state_before = *s;
    ASSERT_EQ(emulate(*s, encoding), DECODE_OK) << f.name;
    const std::vector<uint8_t> want = model_store(before, mem, state_before, f, r, address);
    for (std::size_t b = 0; b < want.size(); ++b)
        ASSERT_EQ(mem.bytes()[b], want[b])
            << f.name << (index_form ? " index " : " imm ") << offset << " byte "
            << static_cast<int64_t>(b) - static_cast<int64_t>(mem.offset_of(address));
    cpu_state want_state = state_before;
    want_state.encoding = s->encoding;
    EXPECT_EQ(std::memcmp(&want_state, s.get(), sizeof want_state), 0) << "registers changed";
}

TEST(ContiguousStore, ScalarPlusImmediateMatchesModel) {
    std::mt19937_64 rng(21);
    GuestBuffer mem(8192);
    for (const ContiguousForm &f : contiguous_stores())
        for (int imm = -8; imm <= 7; ++imm)
            run_and_check(rng, mem, f, false, imm);
}

TEST(ContiguousStore, ScalarPlusScalarMatchesModel) {
    std::mt19937_64 rng(22);
    GuestBuffer mem(8192);
    for (const ContiguousForm &f : contiguous_stores())
        for (int64_t index : {-77, -1, 0, 3, 150})
            run_and_check(rng, mem, f, true, index);
}

// ST1B from doublewords: the low byte of each element lands in consecutive bytes; the bytes
// around the 24 written ones keep their values.
TEST(ContiguousStore, TruncatingStoreLeavesNeighbours) {
    const ContiguousForm &st1b_d = contiguous_stores()[3];
    ASSERT_STREQ(st1b_d.name, "st1b.d");
    GuestBuffer mem(256);
    std::fill(mem.bytes().begin(), mem.bytes().end(), 0xee);
    std::mt19937_64 rng(3);
    auto s = random_state(rng, kPc);
    for (unsigned i = 0; i < 24; ++i) {
        const uint64_t v = 0x1122334455667700ull | i;
        std::memcpy(s->z[30] + 8 * i, &v, 8);
    }
    std::memset(s->p[7], 1, kBytes);
    s->x[12] = mem.address_of(100);
    ASSERT_EQ(emulate(*s, with_imm(st1b_d, 30, 7, 12, 0)), DECODE_OK);
    for (unsigned b = 0; b < 256; ++b) {
        const uint8_t want = (b >= 100 && b < 124) ? static_cast<uint8_t>(b - 100) : 0xee;
        ASSERT_EQ(mem.bytes()[b], want) << b;
    }
}

TEST(ContiguousStore, InactiveElementsLeaveMemory) {
    const ContiguousForm &st1h_s = contiguous_stores()[5];
    ASSERT_STREQ(st1h_s.name, "st1h.s");
    GuestBuffer mem(512);
    std::fill(mem.bytes().begin(), mem.bytes().end(), 0x5a);
    std::mt19937_64 rng(4);
    auto s = random_state(rng, kPc);
    std::memset(s->p[2], 0, kBytes);
    s->p[2][4 * 1] = 1;     // element 1
    s->p[2][4 * 47] = 1;    // element 47
    s->p[2][4 * 2 + 1] = 1; // not the first byte of element 2: no effect
    for (unsigned i = 0; i < 48; ++i) {
        const uint32_t v = 0xabcd0000u | i;
        std::memcpy(s->z[0] + 4 * i, &v, 4);
    }
    s->x[0] = mem.address_of(0);
    ASSERT_EQ(emulate(*s, with_imm(st1h_s, 0, 2, 0, 0)), DECODE_OK);
    for (unsigned b = 0; b < 512; ++b) {
        uint8_t want = 0x5a;
        if (b == 2) want = 1; // element 1, low half 0x0001
        if (b == 3) want = 0;
        if (b == 94) want = 47; // element 47 at byte 94
        if (b == 95) want = 0;
        ASSERT_EQ(mem.bytes()[b], want) << b;
    }
}

TEST(ContiguousStore, IndexRegister31IsZeroAndBaseRegister31IsSp) {
    for (const ContiguousForm &f : contiguous_stores()) {
        GuestBuffer mem(1024);
        std::mt19937_64 rng(f.index_encoding);
        auto s = random_state(rng, kPc);
        s->sp = mem.middle();
        std::memset(s->p[0], 1, kBytes);
        ASSERT_EQ(emulate(*s, with_index(f, 1, 0, 31, 31)), DECODE_OK);
        for (unsigned i = 0; i < kBytes / f.esize; ++i)
            ASSERT_EQ(mem.value_at(mem.middle() + i * f.msize, f.msize),
                      extend(z_element(*s, 1, f.esize, i), f.msize, f.msize, false))
                << f.name << " " << i;
        EXPECT_EQ(mem.byte_at(mem.middle() - 1), 0) << f.name;
        EXPECT_EQ(mem.byte_at(mem.middle() + kBytes / f.esize * f.msize), 0) << f.name;
    }
}

TEST(ContiguousStore, AllFalsePredicateWritesNothing) {
    NoAccessPage hole;
    for (const ContiguousForm &f : contiguous_stores()) {
        std::mt19937_64 rng(f.imm_encoding);
        auto s = random_state(rng, kPc);
        s->x[5] = hole.address();
        s->x[6] = 3;
        std::memset(s->p[4], 0, kBytes);
        EXPECT_EQ(emulate(*s, with_imm(f, 2, 4, 5, -2)), DECODE_OK);
        EXPECT_EQ(emulate(*s, with_index(f, 2, 4, 5, 6)), DECODE_OK);
    }
}

} // namespace
} // namespace memory_test
