// The block conversions of predicate bytes against the definition, at every vector length: bit i
// is bit 0 of byte i (the byte's other bits ignored), bits from the length on are zero, and
// unpacking writes exactly the length's bytes. The kernel road runs them on the FFR of every
// call; the oracle's cases rarely leave an FFR with bits cleared in its later blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "sve/decode/predicate_blocks.h"

using ostrel::decode::pack_predicate_blocks;
using ostrel::decode::unpack_predicate_blocks;

namespace {

constexpr unsigned kMaxBytes = 256;

struct Pattern {
    const char *name;
    uint8_t (*byte)(std::mt19937 &, unsigned i);
};

const Pattern kPatterns[] = {
    {"random bytes, upper bits set too", [](std::mt19937 &g, unsigned) { return uint8_t(g()); }},
    {"every bit set", [](std::mt19937 &, unsigned) { return uint8_t{1}; }},
    {"only the last byte of each block",
     [](std::mt19937 &, unsigned i) { return uint8_t(i % 16 == 15); }},
    {"upper bits without bit 0", [](std::mt19937 &, unsigned) { return uint8_t{0xfe}; }},
};

TEST(PredicateBlocks, PackTakesBitZeroOfEachByteUpToTheLength) {
    std::mt19937 rng(11);
    for (const Pattern &pattern : kPatterns)
        for (unsigned count = 16; count <= kMaxBytes; count += 16) {
            uint8_t bytes[kMaxBytes];
            for (unsigned i = 0; i < kMaxBytes; ++i)
                bytes[i] = pattern.byte(rng, i);
            const PredV p = pack_predicate_blocks(bytes, count);
            for (unsigned i = 0; i < kMaxBytes; ++i)
                ASSERT_EQ(p.bit(i), i < count && (bytes[i] & 1))
                    << pattern.name << ", length " << count << ", bit " << i;
        }
}

TEST(PredicateBlocks, UnpackWritesEachBitAsAByteAndNothingPastTheLength) {
    std::mt19937 rng(12);
    constexpr uint8_t kUntouched = 0xa5;
    for (unsigned count = 16; count <= kMaxBytes; count += 16)
        for (int trial = 0; trial < 4; ++trial) {
            PredV p;
            for (uint64_t &w : p.words)
                w = (uint64_t{rng()} << 32) | rng();
            uint8_t bytes[kMaxBytes];
            for (uint8_t &b : bytes)
                b = kUntouched;
            unpack_predicate_blocks(p, count, bytes);
            for (unsigned i = 0; i < kMaxBytes; ++i)
                ASSERT_EQ(bytes[i], i < count ? uint8_t(p.bit(i)) : kUntouched)
                    << "length " << count << ", byte " << i;
        }
}

} // namespace
