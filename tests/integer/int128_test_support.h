// Shared pieces of the integer helper tests: printing of 128-bit values (gtest cannot print
// __int128 in strict C++ mode) and a fixed sample of 64-bit words.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sve/exec/integer/int_helpers.h"

namespace ostrel::test {

inline std::string Hex128(i128 v) {
    static const char digits[] = "0123456789abcdef";
    u128 u = static_cast<u128>(v);
    std::string text = "0x";
    for (int shift = 124; shift >= 0; shift -= 4)
        text += digits[(u >> shift) & 0xf];
    return text;
}

inline ::testing::AssertionResult SameI128(i128 actual, i128 expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << Hex128(actual) << ", expected " << Hex128(expected);
}

constexpr i128 kI128Max = static_cast<i128>(~u128{0} >> 1);
constexpr i128 kI128Min = -kI128Max - 1;

inline i128 Pow2(int k) {
    return static_cast<i128>(u128{1} << k);
}

// Words around every sign and width boundary plus a fixed-seed random spread, so that failures
// reproduce.
inline std::vector<uint64_t> SampleWords() {
    std::vector<uint64_t> words = {0, 1, 2, 3, ~uint64_t{0}, ~uint64_t{1}};
    for (int b = 0; b < 64; ++b) {
        uint64_t bit = uint64_t{1} << b;
        words.push_back(bit);
        words.push_back(bit - 1);
        words.push_back(~bit);
        words.push_back(~(bit - 1));
    }
    std::mt19937_64 random(0x05e7e1u);
    for (int i = 0; i < 2000; ++i) {
        uint64_t r = random();
        words.push_back(r);
        words.push_back(r >> (r & 63)); // sparse high bits
    }
    return words;
}

} // namespace ostrel::test
