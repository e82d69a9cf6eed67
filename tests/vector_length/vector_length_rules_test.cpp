// The vector length a front end accepts: decimal multiples of 128 from 128 to 2048 bits and no
// other text; and setting one is what every later vector_bytes() reads.
#include <gtest/gtest.h>

#include <string>

#include "sve/client/vector_length.h"
#include "tests/support/vector_length_scope.h"

namespace {

using ostrel::parse_vector_length;

constexpr unsigned kUntouched = 7;

TEST(VectorLength, AcceptsEveryMultipleOf128InRangeAndNoOtherNumber) {
    unsigned accepted = 0;
    for (unsigned n = 0; n <= 4096; ++n) {
        unsigned bits = kUntouched;
        const bool ok = parse_vector_length(std::to_string(n).c_str(), &bits);
        const bool valid = n % 128 == 0 && n >= 128 && n <= 2048;
        ASSERT_EQ(ok, valid) << n;
        ASSERT_EQ(bits, valid ? n : kUntouched) << n;
        accepted += ok;
    }
    EXPECT_EQ(accepted, 16u);
}

TEST(VectorLength, RefusesEveryOtherSpelling) {
    const char *const refused[] = {
        "",           "+128", "-128", " 128", "128 ", "128b", "128bits", "0128",
        "00",         "1e3",  "12.8", "0x80", "512,", "5 12", "2048\n",  "99999999999999999999",
        "4294967424",
    };
    for (const char *text : refused) {
        unsigned bits = kUntouched;
        EXPECT_FALSE(parse_vector_length(text, &bits)) << '"' << text << '"';
        EXPECT_EQ(bits, kUntouched) << '"' << text << '"';
    }
    unsigned bits = kUntouched;
    EXPECT_FALSE(parse_vector_length(nullptr, &bits));
}

TEST(VectorLength, SettingItIsWhatEveryReadSees) {
    EXPECT_EQ(ostrel::vector_bytes(), ostrel::kDefaultVectorBits / 8);
    for (unsigned bits : {128u, 384u, 2048u}) {
        const ostrel::testing::ScopedVectorLength length(bits);
        EXPECT_EQ(ostrel::vector_bytes(), bits / 8);
    }
    EXPECT_EQ(ostrel::vector_bytes(), ostrel::kDefaultVectorBits / 8);
}

TEST(VectorLengthDeathTest, SettingALengthOutsideTheRuleStopsTheProcess) {
    for (unsigned bits : {0u, 100u, 2176u}) {
        EXPECT_DEATH(ostrel::set_vector_length_bits(bits), ostrel::kVectorLengthRule) << bits;
    }
}

} // namespace
