// The lookup against the row source: every row's own key finds its handler through the full
// ordered lookup, random encodings drawn from each row's key rule do too, and words outside the
// SVE encoding space find nothing; looked up again and from several threads at once, words keep
// finding the one row that accepts them, or nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

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

// The lookup keeps results between calls, so a word must find its row however often it is asked,
// whichever words came between, and while other threads ask too. The expected handler comes from
// the rows alone: rows never overlap, so at most one accepts a word.
TEST(DecodeLookup, RepeatedAndConcurrentLookupsFindTheRowThatAccepts) {
    std::vector<uint32_t> masks, bits;
    for (const DecodeRow &row : kDecodeRows) {
        masks.push_back(row.fixed_mask());
        bits.push_back(row.fixed_bits());
    }
    auto expected_for = [&](uint32_t w) -> sve_handler_t {
        for (std::size_t r = 0; r < kNumRows; ++r)
            if ((w & masks[r]) == bits[r]) return kDecodeRows[r].handler;
        return nullptr;
    };
    // Several words per row, and SVE-space words that mostly no row accepts: more words than a
    // cache holds, so slots are shared and entries replaced.
    std::mt19937 rng(19);
    std::vector<uint32_t> words;
    for (std::size_t r = 0; r < kNumRows; ++r)
        for (int i = 0; i < 4; ++i)
            words.push_back(bits[r] | (rng() & ~masks[r]));
    for (int i = 0; i < 8192; ++i)
        words.push_back((rng() & ~kSveSpaceMask) | kSveSpaceBits);
    std::vector<sve_handler_t> expected;
    std::size_t unaccepted = 0;
    for (uint32_t w : words) {
        expected.push_back(expected_for(w));
        unaccepted += expected.back() == nullptr;
    }
    ASSERT_GT(unaccepted, 1000u) << "the sample needs SVE-space words no row accepts";

    for (int pass = 0; pass < 3; ++pass)
        for (std::size_t i = 0; i < words.size(); ++i) {
            // Forward, backward, then each word twice in a row.
            const std::size_t k = pass == 1 ? words.size() - 1 - i : i;
            ASSERT_EQ(get_sve_handler(words[k]), expected[k]) << std::hex << "0x" << words[k];
            if (pass == 2) {
                ASSERT_EQ(get_sve_handler(words[k]), expected[k]) << std::hex << "0x" << words[k];
            }
        }

    std::atomic<std::size_t> wrong{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 4; ++round)
                for (std::size_t i = 0; i < words.size(); ++i) {
                    const std::size_t k = (i * (2 * t + 1) + t * 997) % words.size();
                    if (get_sve_handler(words[k]) != expected[k]) ++wrong;
                }
        });
    for (auto &th : threads)
        th.join();
    EXPECT_EQ(wrong.load(), 0u);
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
