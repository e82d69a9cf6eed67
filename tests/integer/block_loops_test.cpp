// Corners of the block loops that the random cases of the oracle do not reach: the count of
// blocks of every length (the oracle runs a few lengths), TBL indices inside the table for 16-,
// 32- and 64-bit elements (random ones almost never are), and the partial sums of UADDV at their
// largest (every element at its maximum and active, at the longest length).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "sve/exec/vector_blocks.h"
#include "tests/support/register_file.h"
#include "tests/support/vector_length_scope.h"

namespace ostrel {
namespace {

using testing::emulate;
using testing::low_bits;
using testing::random_state;
using testing::ScopedVectorLength;
using testing::set_z_element;
using testing::z_element;

TEST(ForEachBlock, VisitsEveryBlockOnceInAscendingOrderAtEveryLength) {
    for (unsigned bytes = kVectorBlockBytes; bytes <= kMaxVectorBytes; bytes += kVectorBlockBytes) {
        std::vector<std::size_t> seen;
        for_each_block(bytes, [&](std::size_t at) { seen.push_back(at); });
        ASSERT_EQ(seen.size(), bytes / kVectorBlockBytes) << bytes << " bytes";
        for (std::size_t k = 0; k < seen.size(); ++k)
            EXPECT_EQ(seen[k], k * kVectorBlockBytes) << bytes << " bytes, block " << k;
    }
}

// TBL Zd.<T>, {Zn.<T>}, Zm.<T>.
uint32_t tbl(unsigned size, unsigned zd, unsigned zn, unsigned zm) {
    return 0x05203000u | size << 22 | zm << 16 | zn << 5 | zd;
}

// Each index is one of: inside the table, its last element, just past it, the largest the
// element holds. Zd is a fresh register, then the table itself.
TEST(TableLookup, IndicesInsideAtAndPastTheEndOfTheTable) {
    for (unsigned bits : {128u, 384u, 2048u}) {
        ScopedVectorLength length(bits);
        const unsigned bytes = bits / 8;
        for (unsigned size = 0; size < 4; ++size) {
            const unsigned esize = 1u << size, count = bytes / esize;
            for (unsigned zd : {0u, 1u}) {
                auto s = random_state(bits * 8 + size * 2 + zd);
                const uint64_t kinds[] = {0, count - 1, count, low_bits(~uint64_t{0}, esize)};
                for (unsigned i = 0; i < count; ++i)
                    set_z_element(*s, 3, esize, i, i % 4 == 0 ? (i * 7) % count : kinds[i % 4]);
                std::vector<uint64_t> table(count);
                for (unsigned i = 0; i < count; ++i)
                    table[i] = z_element(*s, 1, esize, i);
                ASSERT_EQ(emulate(*s, tbl(size, zd, 1, 3)), DECODE_OK);
                for (unsigned i = 0; i < count; ++i) {
                    const uint64_t index = z_element(*s, 3, esize, i);
                    EXPECT_EQ(z_element(*s, zd, esize, i), index < count ? table[index] : 0)
                        << bits << " bits, " << esize << "-byte elements, z" << zd << ", element "
                        << i << ", index " << index;
                }
            }
        }
    }
}

// UADDV Dd, Pg, Zn.<T>.
uint32_t uaddv(unsigned size, unsigned vd, unsigned pg, unsigned zn) {
    return 0x04012000u | size << 22 | pg << 10 | zn << 5 | vd;
}

TEST(Uaddv, EveryElementAtItsMaximumAndActiveAtTheLongestLength) {
    ScopedVectorLength length(kMaxVectorBits);
    const unsigned bytes = kMaxVectorBits / 8;
    for (unsigned size = 0; size < 4; ++size) {
        const unsigned esize = 1u << size;
        const uint64_t top = low_bits(~uint64_t{0}, esize);
        auto s = random_state(size);
        for (unsigned i = 0; i < bytes / esize; ++i)
            set_z_element(*s, 1, esize, i, top);
        std::memset(s->p[2], 1, bytes);
        ASSERT_EQ(emulate(*s, uaddv(size, 0, 2, 1)), DECODE_OK);
        // Modulo 2^64, as the 64-bit sum of 64-bit elements wraps.
        EXPECT_EQ(z_element(*s, 0, 8, 0), uint64_t{bytes / esize} * top) << esize << "-byte";
        for (unsigned i = 1; i < bytes / 8; ++i)
            EXPECT_EQ(z_element(*s, 0, 8, i), 0u) << esize << "-byte elements, word " << i;
    }
}

} // namespace
} // namespace ostrel
