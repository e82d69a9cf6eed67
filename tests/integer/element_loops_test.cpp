// The branch-free element loops and the native shifts: each against its element-by-element
// definition, at every vector length and element size, with predicate bytes whose upper bits
// are set (only bit 0 may count) and bytes past the length that must stay untouched.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/int_arith.h"
#include "sve/exec/integer/logical_elements.h"

namespace ostrel {
namespace {

using integer::load_element;

// Shifts through the 128-bit integers: the definition the native shifts must agree with.
struct ShiftCase {
    const char *name;
    bool arithmetic, left;
};

template <typename T> T shift_by_definition(const ShiftCase &c, T value, uint64_t amount) {
    const int bits = static_cast<int>(8 * sizeof(T));
    const i128 v = Int(value, bits, c.arithmetic ? 0 : 1);
    const i128 shifted =
        c.left ? ShiftLeftInt(v, UInt(amount, 64)) : ShiftRightInt(v, UInt(amount, 64));
    return static_cast<T>(static_cast<uint64_t>(shifted));
}

template <typename T> T shift_natively(const ShiftCase &c, T value, uint64_t amount) {
    if (c.left) return logical::LslElement::apply(value, amount);
    return c.arithmetic ? logical::AsrElement::apply(value, amount)
                        : logical::LsrElement::apply(value, amount);
}

template <typename T> void check_shifts(std::mt19937_64 &rng) {
    const ShiftCase cases[] = {{"LSL", false, true}, {"LSR", false, false}, {"ASR", true, false}};
    const uint64_t width = 8 * sizeof(T);
    std::vector<uint64_t> amounts = {
        width - 1, width, width + 1, 255, 256, uint64_t{1} << 32, uint64_t{1} << 63, ~uint64_t{0}};
    for (uint64_t a = 0; a < width; ++a)
        amounts.push_back(a);
    const T extremes[] = {0, 1, static_cast<T>(~T{0}), static_cast<T>(T{1} << (width - 1)),
                          static_cast<T>(~T{0} >> 1)};
    for (const ShiftCase &c : cases)
        for (uint64_t amount : amounts) {
            for (T value : extremes)
                ASSERT_EQ(+shift_natively(c, value, amount), +shift_by_definition(c, value, amount))
                    << c.name << " " << width << "-bit " << +value << " by " << amount;
            for (int round = 0; round < 8; ++round) {
                const T value = static_cast<T>(rng());
                ASSERT_EQ(+shift_natively(c, value, amount), +shift_by_definition(c, value, amount))
                    << c.name << " " << width << "-bit " << +value << " by " << amount;
            }
        }
}

TEST(NativeShifts, AgreeWithTheWideIntegerDefinition) {
    std::mt19937_64 rng(3);
    check_shifts<uint8_t>(rng);
    check_shifts<uint16_t>(rng);
    check_shifts<uint32_t>(rng);
    check_shifts<uint64_t>(rng);
}

// A register file of random vectors and predicate bytes: bit 0 random, the other bits noise.
void randomise(std::mt19937_64 &rng, cpu_state &s) {
    std::memset(&s, 0, sizeof s);
    const unsigned bytes = vector_bytes();
    for (auto &z : s.z)
        for (unsigned i = 0; i < bytes; ++i)
            z[i] = static_cast<uint8_t>(rng());
    for (auto &p : s.p)
        for (unsigned i = 0; i < bytes; ++i)
            p[i] = static_cast<uint8_t>(rng());
}

bool untouched_past_length(const cpu_state &s, unsigned reg) {
    for (unsigned i = vector_bytes(); i < kMaxVectorBytes; ++i)
        if (s.z[reg][i] != 0) return false;
    return true;
}

// Predicated ADD and MLA: op where bit 0 of the element's first predicate byte is set, the
// destination's old element elsewhere.
template <typename T> void check_merging_loops(std::mt19937_64 &rng) {
    auto s = std::make_unique<cpu_state>();
    randomise(rng, *s);
    const cpu_state before = *s;
    const unsigned n = vector_bytes() / sizeof(T);
    auto active = [&](unsigned i) { return (before.p[2][i * sizeof(T)] & 1) != 0; };

    integer::merging_binary<integer::AddElement, T>(*s, 1, 2, 3);
    for (unsigned i = 0; i < n; ++i) {
        const T old = load_element<T>(before.z[1], i);
        const T want = active(i) ? static_cast<T>(old + load_element<T>(before.z[3], i)) : old;
        ASSERT_EQ(+load_element<T>(s->z[1], i), +want) << "ADD element " << i << " of " << n;
    }
    EXPECT_TRUE(untouched_past_length(*s, 1));

    // Zd also a source: read with its old value.
    integer::merging_ternary<integer::MlaElement, T>(*s, 4, 2, 4, 5);
    for (unsigned i = 0; i < n; ++i) {
        const T d = load_element<T>(before.z[4], i), b = load_element<T>(before.z[5], i);
        const T want = active(i) ? static_cast<T>(d + static_cast<T>(uint64_t{d} * b)) : d;
        ASSERT_EQ(+load_element<T>(s->z[4], i), +want) << "MLA element " << i << " of " << n;
    }
    EXPECT_TRUE(untouched_past_length(*s, 4));
}

TEST(MergingLoops, BlendByBitZeroAtEveryLengthAndSize) {
    std::mt19937_64 rng(11);
    for (unsigned bits = kMinVectorBits; bits <= kMaxVectorBits; bits += 128) {
        set_vector_length_bits(bits);
        SCOPED_TRACE(bits);
        check_merging_loops<uint8_t>(rng);
        check_merging_loops<uint16_t>(rng);
        check_merging_loops<uint32_t>(rng);
        check_merging_loops<uint64_t>(rng);
    }
    set_vector_length_bits(kDefaultVectorBits);
}

} // namespace
} // namespace ostrel
