// How a front end settles its vector length from its option and OSTREL_VL: every accepted length,
// the values refused, the one-line refusal naming its source, and the option overriding the
// variable.
#include <gtest/gtest.h>

#include <string>

#include "sve/client/vector_length_choice.h"

using ostrel::choose_vector_length;
using ostrel::VectorLengthChoice;

namespace {

TEST(VectorLengthChoice, NeitherGivenKeepsTheDefault) {
    const VectorLengthChoice c = choose_vector_length("--vl", nullptr, nullptr);
    EXPECT_FALSE(c.chosen);
    EXPECT_EQ(c.error, "");
    EXPECT_EQ(c.bits, ostrel::kDefaultVectorBits);
}

TEST(VectorLengthChoice, EveryMultipleOf128UpTo2048IsAcceptedFromEitherSource) {
    for (unsigned bits = 128; bits <= 2048; bits += 128) {
        const std::string text = std::to_string(bits);
        const VectorLengthChoice option = choose_vector_length("--vl", text.c_str(), nullptr);
        EXPECT_TRUE(option.chosen) << bits;
        EXPECT_EQ(option.error, "") << bits;
        EXPECT_EQ(option.bits, bits);
        const VectorLengthChoice variable = choose_vector_length("--vl", nullptr, text.c_str());
        EXPECT_EQ(variable.error, "") << bits;
        EXPECT_EQ(variable.bits, bits);
    }
}

// Values a user might type that are not a length: out of range, off the 128-bit grid, signed,
// padded, with a unit, empty, or long enough to wrap an unsigned.
const char *const kRefused[] = {"0",    "100",      "129",   "2176", "512x",
                                "",     "-128",     "+512",  " 512", "512 ",
                                "5 12", "1536bits", "0x200", "4096", "99999999999999999999640"};

class RefusedLength : public testing::TestWithParam<const char *> {};

TEST_P(RefusedLength, FromTheOptionNamesTheOption) {
    const char *value = GetParam();
    const VectorLengthChoice c = choose_vector_length("-vl", value, "256");
    EXPECT_EQ(c.error, std::string("-vl '") + value + "': " + ostrel::kVectorLengthRule);
}

TEST_P(RefusedLength, FromTheVariableNamesTheVariable) {
    const char *value = GetParam();
    const VectorLengthChoice c = choose_vector_length("--vl", nullptr, value);
    EXPECT_EQ(c.error, std::string(ostrel::kVectorLengthVariable) + "='" + value +
                           "': " + ostrel::kVectorLengthRule);
    EXPECT_EQ(c.error.find('\n'), std::string::npos) << "one line";
}

INSTANTIATE_TEST_SUITE_P(All, RefusedLength, testing::ValuesIn(kRefused));

// The option wins whatever the variable holds, so a stale or bad OSTREL_VL in the environment
// does not stop a run whose command line names its length.
struct Precedence {
    const char *option;
    const char *variable;
    unsigned bits;
};

class OptionOverVariable : public testing::TestWithParam<Precedence> {};

TEST_P(OptionOverVariable, TheOptionDecides) {
    const Precedence p = GetParam();
    const VectorLengthChoice c = choose_vector_length("--vl", p.option, p.variable);
    EXPECT_EQ(c.error, "");
    EXPECT_EQ(c.bits, p.bits);
}

INSTANTIATE_TEST_SUITE_P(All, OptionOverVariable,
                         testing::Values(Precedence{"512", "256", 512},
                                         Precedence{"128", "2048", 128},
                                         Precedence{"2048", "100", 2048},
                                         Precedence{"256", "", 256}));

TEST(VectorLengthChoice, ABadOptionIsRefusedEvenWhenTheVariableIsGood) {
    const VectorLengthChoice c = choose_vector_length("--vl", "384x", "384");
    EXPECT_NE(c.error, "");
    EXPECT_EQ(c.error.rfind("--vl '384x'", 0), 0u) << c.error;
}

} // namespace
