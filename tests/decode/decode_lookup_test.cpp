// The lookup against the row source: every row's own key finds its handler through the full
// ordered lookup, random encodings drawn from each row's key rule do too, and words outside the
// SVE encoding space find nothing.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

#include "sve/decode/decode_rows.h"
#include "sve/decode/handlers.h"

using namespace ostrel;

namespace {

// Every SVE encoding has op0 (bits 28..25) = 0b0010 in the A64 top-level encoding.
constexpr uint32_t kSveSpaceMask = 0x1e000000;
constexpr uint32_t kSveSpaceBits = 0x04000000;

TEST(DecodeRows, CountsPerTableAndRoad) {
    // Rows per table, in lookup order, as the instruction groups were laid out.
    const std::map<std::string, std::size_t> expected = {
        {"decode_map__31_0", 1},
        {"decode_map__31_9__4_0", 1},
        {"decode_map__31_4", 2},
        {"decode_map__31_14__9_9__4_0", 1},
        {"decode_map__31_9__4_4", 13},
        {"decode_map__31_10__4_4", 8},
        {"decode_map__31_9", 58},
        {"decode_map__31_13__9_6", 24},
        {"decode_map__31_21__15_10__4_0", 4},
        {"decode_map__31_10", 38},
        {"decode_map__31_13__9_8", 4},
        {"decode_map__31_11", 1},
        {"decode_map__31_24__21_10", 1},
        {"decode_map__31_20__15_9__4_4", 24},
        {"decode_map__31_14__9_9__4_4", 8},
        {"decode_map__31_13__4_4", 18},
        {"decode_map__31_13__9_9", 4},
        {"decode_map__31_14__9_9", 4},
        {"decode_map__31_19__15_10", 6},
        {"decode_map__31_24__21_21__19_10", 1},
        {"decode_map__31_13", 403},
        {"decode_map__31_17__15_13", 3},
        {"decode_map__31_14", 32},
        {"decode_map__31_23__21_13", 4},
        {"decode_map__31_20__15_10", 65},
        {"decode_map__31_24__21_21__18_10", 1},
        {"decode_map__31_21__15_10__4_4", 32},
        {"decode_map__31_24__21_21__17_10", 1},
        {"decode_map__31_21__15_10", 135},
        {"decode_map__31_21__15_11", 2},
        {"decode_map__31_20__15_14__9_9__4_4", 19},
        {"decode_map__31_24__21_21__16_10", 1},
        {"decode_map__31_23__21_21__15_10", 6},
        {"decode_map__31_21__15_13__4_4", 131},
        {"decode_map__31_21__15_12", 2},
        {"decode_map__31_20__15_13", 81},
        {"decode_map__31_21__15_13", 285},
        {"decode_map__31_20__15_14", 8},
        {"decode_map__31_18", 4},
        {"decode_map__31_22__15_13__4_4", 6},
        {"decode_map__31_21__15_14", 4},
        {"decode_map__31_21__13_13__4_4", 16},
        {"decode_map__31_22__15_13", 18},
        {"decode_map__31_21__15_15", 3},
    };
    std::map<std::string, std::size_t> seen;
    std::map<Road, std::size_t> roads;
    for (const DecodeRow &row : kDecodeRows) {
        ++seen[row.rule().name];
        ++roads[row.road];
    }
    EXPECT_EQ(kNumTables, 44u);
    EXPECT_EQ(kNumRows, 1483u);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(roads[Road::executor], 803u - 97u);
    EXPECT_EQ(roads[Road::executor_fpsr_wrap], 97u);
    EXPECT_EQ(roads[Road::kernel], 644u);
    EXPECT_EQ(roads[Road::none], 36u);
}

TEST(DecodeRows, TablesAreInLookupOrderByKeyWidth) {
    unsigned previous = 33;
    for (const DecodeTable &t : kDecodeTables) {
        unsigned width = __builtin_popcount(t.key_mask());
        EXPECT_LE(width, previous) << t.name;
        previous = width;
        // The name spells the ranges.
        std::string spelled = "decode_map";
        for (unsigned i = 0; i < t.num_ranges; ++i)
            spelled += "__" + std::to_string(t.ranges[i].hi) + "_" + std::to_string(t.ranges[i].lo);
        EXPECT_EQ(spelled, t.name);
        // Every key includes bits 31..24, which hold the SVE part of the encoding space apart.
        EXPECT_EQ(t.key_mask() & 0xff000000u, 0xff000000u) << t.name;
    }
}

TEST(DecodeRows, KeySpreadRoundTrips) {
    std::mt19937 rng(7);
    for (const DecodeTable &t : kDecodeTables) {
        for (int i = 0; i < 200; ++i) {
            uint32_t enc = rng();
            EXPECT_EQ(t.spread(t.key(enc)), enc & t.key_mask()) << t.name;
        }
    }
    // The worked examples of the key rule.
    const DecodeTable *t9_40 = nullptr, *t14_9_40 = nullptr;
    for (const DecodeTable &t : kDecodeTables) {
        if (std::string(t.name) == "decode_map__31_9__4_0") t9_40 = &t;
        if (std::string(t.name) == "decode_map__31_14__9_9__4_0") t14_9_40 = &t;
    }
    ASSERT_TRUE(t9_40 && t14_9_40);
    const uint32_t enc = 0xdeadbeef;
    EXPECT_EQ(t9_40->key(enc), (enc >> 9) << 5 | (enc & 31));
    EXPECT_EQ(t14_9_40->key(enc), (((enc >> 14) << 1 | ((enc >> 9) & 1)) << 5) | (enc & 31));
}

TEST(DecodeRows, NamesAndHandlersAreDistinct) {
    std::set<std::string> names;
    std::set<sve_handler_t> handlers;
    for (const DecodeRow &row : kDecodeRows) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_TRUE(handlers.insert(row.handler).second) << row.name << " shares its address";
        EXPECT_EQ(row_of_handler(row.handler), &row);
    }
    EXPECT_EQ(row_of_handler(nullptr), nullptr);
}

TEST(DecodeRows, RowsOfDifferentTablesNeverOverlap) {
    // Wherever two rows' key bits overlap, their values differ; so no encoding fits two rows.
    for (std::size_t a = 0; a < kNumRows; ++a) {
        const DecodeRow &ra = kDecodeRows[a];
        for (std::size_t b = a + 1; b < kNumRows; ++b) {
            const DecodeRow &rb = kDecodeRows[b];
            uint32_t common = ra.fixed_mask() & rb.fixed_mask();
            ASSERT_NE(ra.fixed_bits() & common, rb.fixed_bits() & common)
                << ra.name << " and " << rb.name << " accept the same encodings";
        }
    }
}

TEST(DecodeLookup, EveryRowsOwnKeyFindsItsHandler) {
    for (const DecodeRow &row : kDecodeRows) {
        const uint32_t enc = row.fixed_bits();
        EXPECT_EQ(get_sve_handler(enc), row.handler) << row.name;
        EXPECT_EQ(enc & kSveSpaceMask, kSveSpaceBits) << row.name << " lies outside SVE";
    }
}

TEST(DecodeLookup, RandomOperandBitsKeepTheRow) {
    std::mt19937 rng(20261205);
    for (const DecodeRow &row : kDecodeRows) {
        for (int i = 0; i < 64; ++i) {
            const uint32_t enc = row.fixed_bits() | (rng() & ~row.fixed_mask());
            ASSERT_EQ(get_sve_handler(enc), row.handler) << row.name << std::hex << " 0x" << enc;
        }
    }
}

TEST(DecodeLookup, AssembledInstructionsFindTheirForm) {
    // Words from the cross assembler (aarch64-linux-gnu-as -march=armv8.2-a+sve).
    struct Case {
        uint32_t encoding;
        sve_handler_t handler;
        const char *text;
    };
    const Case cases[] = {
        {0x252c9000, &VecPClearFFSR, "setffr"},
        {0x2518e400, &VecPFalse, "pfalse p0.b"},
        {0x2518e40f, &VecPFalse, "pfalse p15.b"},
        {0x2518e3e0, &VecP8TrueI, "ptrue p0.b"},
        {0x2598e083, &VecP32TrueI, "ptrue p3.s, vl4"},
        {0x2550c020, &VecPTestPZ, "ptest p0, p1.b"},
        {0x04a20020, &VecU32AddVVX, "add z0.s, z1.s, z2.s"},
        {0x04400483, &VecU16AddVVM, "add z3.h, p1/m, z3.h, z4.h"},
        {0x2520e020, &VecU8AddVIX, ".inst: add z0.b, z0.b, #1, lsl #8 (start marker)"},
        {0x2578c1e0, &VecS16DupI, "mov z0.h, #15"},
        {0x25a20c20, &VecU32While4LTSS, "whilelo p0.s, w1, w2"},
        {0x25e41462, &VecS64While8LTSS, "whilelt p2.d, x3, x4"},
        {0xa5e0a000, &VecU64CLoad8SIZ, "ld1d {z0.d}, p0/z, [x0]"},
        {0xa5434440, &VecU32CLoad4LSSZ, "ld1w {z0.s}, p1/z, [x2, x3, lsl #2]"},
        {0xe5e1e8a1, &VecU64CStore8SIZ, "st1d {z1.d}, p2, [x5, #1, mul vl]"},
        {0x85c00000, &VecU8Prefetch1SI, "prfb pldl1keep, p0, [x0]"},
        {0x65c08020, &VecD64AddVVM, "fadd z0.d, p0/m, z0.d, z1.d"},
        {0x040d0020, &VecU8AbdVVM, "uabd z0.b, p0/m, z0.b, z1.b"},
        {0x04f0e3e0, &VecU64IncrVLSI, "incd x0"},
        {0x0420e3e1, &VecU8CountVLSI, "cntb x1"},
        {0x04812020, &VecU32AddReduceV, "uaddv d0, p0, z1.s"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(get_sve_handler(c.encoding), c.handler) << c.text;
}

TEST(DecodeLookup, WrffrFindsItsRowForEveryPredicate) {
    for (uint32_t n = 0; n < 16; ++n)
        EXPECT_EQ(get_sve_handler(0x25289000u | (n << 5)), &VecPWriteFFSRP) << n;
}

TEST(DecodeLookup, WordsOutsideSveFindNothing) {
    const uint32_t non_sve[] = {
        0xd503201f, // nop
        0x8b020020, // add x0, x1, x2
        0x4ea28420, // add v0.4s, v1.4s, v2.4s
        0xf9400020, // ldr x0, [x1]
        0xd65f03c0, // ret
        0xd53b4400, // mrs x0, fpcr
        0x1e202800, // fadd s0, s0, s0
        0x00000000, // udf #0
    };
    for (uint32_t w : non_sve)
        EXPECT_EQ(get_sve_handler(w), nullptr) << std::hex << w;
    std::mt19937 rng(1);
    for (int i = 0; i < 200000; ++i) {
        uint32_t w = rng();
        if ((w & kSveSpaceMask) == kSveSpaceBits) continue;
        ASSERT_EQ(get_sve_handler(w), nullptr) << std::hex << w;
    }
}

} // namespace
