// LDR and STR of whole Z and P registers through the lookup: the split 9-bit offset counts whole
// registers (192 bytes of Z, 24 bytes of P), predicate bit 8k + j is bit j of memory byte k.
#include "tests/memory/memory_fixture.h"

namespace memory_test {
namespace {

constexpr uint32_t kLdrZ = 0x85804000; // ldr z0, [x0]
constexpr uint32_t kStrZ = 0xe5804000; // str z0, [x0]
constexpr uint32_t kLdrP = 0x85800000; // ldr p0, [x0]
constexpr uint32_t kStrP = 0xe5800000; // str p0, [x0]

// imm9 = imm9h (bits 21..16) : imm9l (bits 12..10).
uint32_t with_offset(uint32_t op, unsigned reg, unsigned rn, int imm) {
    const uint32_t raw = static_cast<uint32_t>(imm) & 0x1ffu;
    return op | (raw >> 3) << 16 | (raw & 7u) << 10 | rn << 5 | reg;
}

constexpr int kOffsets[] = {-256, -9, -1, 0, 1, 7, 8, 255};

TEST(FillSpill, ZRegisterAtEveryOffsetScale) {
    GuestBuffer mem(2 * 257 * kBytes);
    std::mt19937_64 rng(51);
    for (int imm : kOffsets) {
        mem.fill_random(rng);
        auto s = random_state(rng, kPc);
        const unsigned rn = rng() % 32, zt = rng() % 32;
        set_x_or_sp(*s, rn, mem.middle());
        const uint64_t address = mem.middle() + int64_t{imm} * kBytes;
        ASSERT_EQ(emulate(*s, with_offset(kLdrZ, zt, rn, imm)), DECODE_OK);
        for (unsigned b = 0; b < kBytes; ++b)
            ASSERT_EQ(s->z[zt][b], mem.byte_at(address + b)) << "imm " << imm << " byte " << b;

        // Spill another register one register further on; the bytes around it stay.
        const unsigned other = (zt + 1) % 32;
        const std::vector<uint8_t> before = mem.bytes();
        const int next = imm == 255 ? 254 : imm + 1;
        ASSERT_EQ(emulate(*s, with_offset(kStrZ, other, rn, next)), DECODE_OK);
        const uint64_t spilled = mem.middle() + int64_t{next} * kBytes;
        for (std::size_t b = 0; b < before.size(); ++b) {
            const uint64_t a = mem.address_of(b);
            const uint8_t want =
                (a >= spilled && a < spilled + kBytes) ? s->z[other][a - spilled] : before[b];
            ASSERT_EQ(mem.bytes()[b], want) << "imm " << next << " at " << b;
        }
    }
}

TEST(FillSpill, PRegisterUnpacksBitsLowFirst) {
    GuestBuffer mem(2 * 257 * 24);
    std::mt19937_64 rng(52);
    for (int imm : kOffsets) {
        mem.fill_random(rng);
        auto s = random_state(rng, kPc);
        const unsigned rn = rng() % 32, pt = rng() % 16;
        set_x_or_sp(*s, rn, mem.middle());
        const uint64_t address = mem.middle() + int64_t{imm} * 24;
        ASSERT_EQ(emulate(*s, with_offset(kLdrP, pt, rn, imm)), DECODE_OK);
        for (unsigned k = 0; k < 24; ++k)
            for (unsigned j = 0; j < 8; ++j)
                ASSERT_EQ(s->p[pt][8 * k + j], (mem.byte_at(address + k) >> j) & 1)
                    << "imm " << imm << " bit " << 8 * k + j;
    }
}

// Only bit 0 of each predicate byte is stored; the bytes around the 24 keep their values.
TEST(FillSpill, PRegisterPacksBitZeroOfEachByte) {
    GuestBuffer mem(256);
    std::fill(mem.bytes().begin(), mem.bytes().end(), 0xcc);
    std::mt19937_64 rng(53);
    auto s = random_state(rng, kPc);
    for (unsigned b = 0; b < kBytes; ++b)
        s->p[9][b] = static_cast<uint8_t>(b % 3 == 0 ? 0x01 : 0xfe); // high bits are noise
    s->x[0] = mem.address_of(100);
    ASSERT_EQ(emulate(*s, with_offset(kStrP, 9, 0, -1)), DECODE_OK); // 24 bytes below
    for (unsigned b = 0; b < 256; ++b) {
        uint8_t want = 0xcc;
        if (b >= 76 && b < 100) {
            want = 0;
            for (unsigned j = 0; j < 8; ++j)
                want |= static_cast<uint8_t>(((8 * (b - 76) + j) % 3 == 0) << j);
        }
        ASSERT_EQ(mem.bytes()[b], want) << b;
    }
}

TEST(FillSpill, PRegisterRoundTripCopiesTwentyFourBytes) {
    GuestBuffer mem(512);
    std::mt19937_64 rng(54);
    mem.fill_random(rng);
    auto s = random_state(rng, kPc);
    s->sp = mem.address_of(0);
    s->x[4] = mem.address_of(256);
    const std::vector<uint8_t> before = mem.bytes();
    ASSERT_EQ(emulate(*s, with_offset(kLdrP, 15, 31, 2)), DECODE_OK);
    ASSERT_EQ(emulate(*s, with_offset(kStrP, 15, 4, 3)), DECODE_OK);
    for (unsigned b = 0; b < 512; ++b) {
        const uint8_t want =
            (b >= 256 + 72 && b < 256 + 96) ? before[48 + b - (256 + 72)] : before[b];
        ASSERT_EQ(mem.bytes()[b], want) << b;
    }
}

TEST(FillSpill, ZRegisterRoundTripThroughSp) {
    GuestBuffer mem(1024);
    std::mt19937_64 rng(55);
    auto s = random_state(rng, kPc);
    s->sp = mem.address_of(384);
    const std::vector<uint8_t> zero(mem.bytes().size(), 0);
    ASSERT_EQ(emulate(*s, with_offset(kStrZ, 17, 31, -2)), DECODE_OK);
    for (unsigned b = 0; b < kBytes; ++b)
        ASSERT_EQ(mem.bytes()[b], s->z[17][b]) << b;
    ASSERT_EQ(emulate(*s, with_offset(kLdrZ, 18, 31, -2)), DECODE_OK);
    EXPECT_EQ(std::memcmp(s->z[18], s->z[17], kBytes), 0);
    EXPECT_TRUE(std::equal(mem.bytes().begin() + kBytes, mem.bytes().end(), zero.begin()));
}

} // namespace
} // namespace memory_test
