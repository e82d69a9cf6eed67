// The lookup against the row source: every row's own key finds its handler through the full
// ordered lookup, random encodings drawn from each row's key rule do too, and words outside the
// SVE encoding space find nothing.
#include <gtest/gtest.h>

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
