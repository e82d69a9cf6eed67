// ADR: every form (words, packed doublewords, SXTW and UXTW offsets) with every scale, against
// address arithmetic written here with multiplications; wrap-around, extension of the offset's
// low word, a destination that is also a source, and the kernels' vector length.
#include "reduce_fixture.h"

#include "sve/decode/handlers.h"
#include "sve/kernels/lea_kernels.h"

using namespace reduce_test;

namespace {

enum class Form { words, doublewords, sxtw, uxtw };

uint32_t encode(Form form, unsigned msz, unsigned zd, unsigned zn, unsigned zm) {
    static const uint32_t base[4] = {0x04a0a000u, 0x04e0a000u, 0x0420a000u, 0x0460a000u};
    return base[static_cast<unsigned>(form)] | zm << 16 | msz << 10 | zn << 5 | zd;
}

// The address of one element, from the offset element as the form reads it.
uint64_t address(Form form, uint64_t base, uint64_t offset, unsigned msz) {
    const uint64_t multiplier = uint64_t{1} << msz;
    switch (form) {
    case Form::words:
        return static_cast<uint32_t>(base + static_cast<uint32_t>(offset) * multiplier);
    case Form::doublewords:
        return base + offset * multiplier;
    case Form::sxtw: {
        const int64_t low = static_cast<int32_t>(static_cast<uint32_t>(offset));
        return base + static_cast<uint64_t>(low) * multiplier;
    }
    case Form::uxtw:
        return base + uint64_t{static_cast<uint32_t>(offset)} * multiplier;
    }
    return 0;
}

constexpr Form kForms[] = {Form::words, Form::doublewords, Form::sxtw, Form::uxtw};

TEST(Adr, EveryFormAndScaleOnRandomRegisters) {
    uint64_t seed = 1;
    for (Form form : kForms)
        for (unsigned msz = 0; msz < 4; ++msz)
            for (int round = 0; round < 4; ++round) {
                const unsigned zd = seed % 32, zn = (seed * 5 + 1) % 32, zm = (seed * 11 + 3) % 32;
                if (zd == zn || zd == zm) {
                    ++seed;
                    continue; // aliasing has its own test
                }
                auto s = random_state(seed++);
                const unsigned bytes = form == Form::words ? 4 : 8;
                cpu_state want = *s;
                for (unsigned i = 0; i < kBytes / bytes; ++i)
                    set_z_element(want, zd, bytes, i,
                                  address(form, z_element(*s, zn, bytes, i),
                                          z_element(*s, zm, bytes, i), msz));
                ASSERT_EQ(emulate(*s, encode(form, msz, zd, zn, zm)), DECODE_OK);
                EXPECT_EQ(state_difference(*s, want, kCompared), "")
                    << "form " << static_cast<int>(form) << " msz " << msz;
            }
}

TEST(Adr, KnownAddresses) {
    struct Case {
        const char *text;
        Form form;
        unsigned msz;
        uint64_t base, offset, result;
    } cases[] = {
        {"uxtw #3 of 0xffffffff", Form::uxtw, 3, 0, 0xffffffff, 0x7fffffff8},
        {"sxtw #3 of low word -1", Form::sxtw, 3, 0x1000, 0x00000001ffffffff, 0xff8},
        {"sxtw #1 of low word -2", Form::sxtw, 1, 0x1000, 0xfffffffe, 0xffc},
        {"uxtw ignores the high word", Form::uxtw, 0, 0x10, 0xabcdef0000000001, 0x11},
        {"words wrap at 32 bits", Form::words, 0, 0xfffffff0, 0x10, 0},
        {"words lsl #2", Form::words, 2, 0x100, 0x40000001, 0x104},
        {"doublewords lsl #3 wrap", Form::doublewords, 3, 8, 0xffffffffffffffff, 0},
        {"doublewords lsl #1", Form::doublewords, 1, 0x1000, 0x100000000, 0x200001000},
    };
    for (const Case &c : cases) {
        auto s = random_state(c.msz + 40);
        const unsigned bytes = c.form == Form::words ? 4 : 8;
        for (unsigned i = 0; i < kBytes / bytes; ++i) {
            set_z_element(*s, 1, bytes, i, c.base);
            set_z_element(*s, 2, bytes, i, c.offset);
        }
        cpu_state want = *s;
        for (unsigned i = 0; i < kBytes / bytes; ++i)
            set_z_element(want, 3, bytes, i, c.result);
        ASSERT_EQ(emulate(*s, encode(c.form, c.msz, 3, 1, 2)), DECODE_OK);
        EXPECT_EQ(state_difference(*s, want, kCompared), "") << c.text;
    }
}

TEST(Adr, DestinationThatIsASourceIsReadFirst) {
    for (Form form : kForms)
        for (int alias = 0; alias < 3; ++alias) {
            const unsigned zn = 4, zm = alias == 2 ? 4 : 5, zd = alias == 0 ? 4 : 5;
            auto s = random_state(70 + alias);
            const unsigned bytes = form == Form::words ? 4 : 8;
            cpu_state want = *s;
            for (unsigned i = 0; i < kBytes / bytes; ++i)
                set_z_element(
                    want, zd, bytes, i,
                    address(form, z_element(*s, zn, bytes, i), z_element(*s, zm, bytes, i), 2));
            ASSERT_EQ(emulate(*s, encode(form, 2, zd, zn, zm)), DECODE_OK);
            EXPECT_EQ(state_difference(*s, want, kCompared), "")
                << "form " << static_cast<int>(form) << " alias " << alias;
        }
}

TEST(Adr, KernelsComputeTheContextVectorLength) {
    VecValue zn, zm;
    for (unsigned i = 0; i < 32; ++i) {
        zn.set<uint64_t>(i, 0x1000 * i);
        zm.set<uint64_t>(i, 0xffffffff00000000u | i); // low word i, high word set
    }
    CpuContext ctx{};
    ctx.vl = 32; // 2048 bits: 32 doublewords, 64 words
    const VecValue sx = VecU64LEA8XVV(zn, zm, &ctx), ux = VecU64LEA2YVV(zn, zm, &ctx),
                   whole = VecU64LEA1VV(zn, zm, &ctx), words = VecU32LEA4VV(zn, zm, &ctx);
    for (unsigned i = 0; i < 32; ++i) {
        EXPECT_EQ(sx.get<uint64_t>(i), 0x1000 * i + 8 * i) << i;
        EXPECT_EQ(ux.get<uint64_t>(i), 0x1000 * i + 2 * i) << i;
        EXPECT_EQ(whole.get<uint64_t>(i), 0x1000 * i + (0xffffffff00000000u | i)) << i;
        // Word 2i is the low half of doubleword i, word 2i + 1 the high half.
        EXPECT_EQ(words.get<uint32_t>(2 * i), 0x1000 * i + 4 * i) << i;
        EXPECT_EQ(words.get<uint32_t>(2 * i + 1), 0xfffffffcu) << i;
    }
    ctx.vl = 1; // one doubleword: element 1 lies beyond the vector and gets no address
    const VecValue one = VecU64LEA4YVV(zn, zm, &ctx);
    EXPECT_EQ(one.get<uint64_t>(0), 0u);
    EXPECT_NE(one.get<uint64_t>(1), 0x1000u + 4);
}

} // namespace
