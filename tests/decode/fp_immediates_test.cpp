// Floating-point immediates against an independent decoder: the arithmetic constants, the FDUP and
// FCPY immediates, element indexes, complex rotations and the FTMAD immediate that our operand
// layouts decode must be the values binutils' disassembler prints for the same words.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "sve/decode/decode_rows.h"
#include "sve/decode/operands/fp.h"

using namespace ostrel;

namespace {

bool have_objdump() {
    return std::system("aarch64-linux-gnu-objdump --version > /dev/null 2>&1") == 0;
}

// Operand text per word, "" where the disassembler finds no instruction.
std::vector<std::string> disassemble(const std::vector<uint32_t> &words) {
    const std::string path = testing::TempDir() + "ostrel-fp-immediates.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(words.data()),
                  static_cast<std::streamsize>(words.size() * 4));
    }
    const std::string cmd = "aarch64-linux-gnu-objdump -D -b binary -m aarch64 " + path;
    std::vector<std::string> result(words.size());
    FILE *pipe = popen(cmd.c_str(), "r");
    if (!pipe) return result;
    static const std::regex row(R"(^\s*([0-9a-f]+):\s+[0-9a-f]{8}\s+(\S+)\s*(.*)$)");
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        std::smatch m;
        if (!std::regex_match(text, m, row)) continue;
        const std::size_t index = std::stoul(m[1].str(), nullptr, 16) / 4;
        if (index >= result.size() || m[2].str() == ".inst") continue;
        const std::string ops = m[3].str();
        result[index] = ops.substr(0, ops.find("//"));
    }
    pclose(pipe);
    return result;
}

// Immediates of an operand text in order of appearance: "#0.5", "#-2.5e+00", "#270" and element
// indexes written "z2.h[3]".
std::vector<double> immediates(const std::string &operands) {
    static const std::regex imm(R"(#(-?\d+(?:\.\d+)?(?:e[+-]\d+)?)|\[(\d+)\])");
    std::vector<double> out;
    for (auto it = std::sregex_iterator(operands.begin(), operands.end(), imm);
         it != std::sregex_iterator(); ++it)
        out.push_back(std::strtod((*it)[(*it)[1].matched ? 1 : 2].str().c_str(), nullptr));
    return out;
}

bool is_fp_type(const char *type) {
    return !std::strcmp(type, "F16") || !std::strcmp(type, "F32") || !std::strcmp(type, "D64");
}

// Decodes an IEEE half-precision pattern (any finite value).
double half_value(uint16_t bits) {
    const int exponent = (bits >> 10) & 0x1f;
    const double fraction = bits & 0x3ff;
    const double magnitude = exponent == 0 ? std::ldexp(fraction, -24)
                                           : std::ldexp(1.0 + fraction / 1024.0, exponent - 15);
    return (bits & 0x8000) ? -magnitude : magnitude;
}

double value_of_size(uint64_t bits, unsigned size_code) {
    if (size_code == 1) return half_value(static_cast<uint16_t>(bits));
    if (size_code == 2) return decode::single_from_bits(static_cast<uint32_t>(bits));
    return decode::double_from_bits(bits);
}

// The floating-point families whose layouts carry immediates, with the number of rows of each
// (F16, F32, D64) and of immediates per instruction.
struct ImmediateFamily {
    const char *family;
    int rows;
    std::size_t immediates;
};
const ImmediateFamily kImmediateFamilies[] = {
    {"AddVIM", 3, 1},     {"SubVIM", 3, 1},     {"SubRVIM", 3, 1},   {"MulVIM", 3, 1},
    {"MaxVIM", 3, 1},     {"MinVIM", 3, 1},     {"MaxNumVIM", 3, 1}, {"MinNumVIM", 3, 1},
    {"DupI", 3, 1},       {"DupIM", 3, 1},      {"MulVVIX", 3, 1},   {"FMAVVVIX", 3, 1},
    {"FMSVVVIX", 3, 1},   {"FCMLAVVVIX", 2, 2}, {"FCMLAVVVM", 3, 1}, {"FCADDVVM", 3, 1},
    {"TRIMADDVVI", 3, 1},
};

TEST(FpImmediates, EveryImmediateRowMatchesTheDisassembler) {
    if (!have_objdump()) GTEST_SKIP() << "aarch64-linux-gnu-objdump not installed";
    std::map<std::string, std::size_t> per_family;
    for (const ImmediateFamily &f : kImmediateFamilies)
        per_family[f.family] = f.immediates;

    std::mt19937 rng(5);
    std::vector<uint32_t> words;
    std::vector<const DecodeRow *> owners;
    std::map<std::string, int> rows_seen;
    for (const DecodeRow &row : kDecodeRows) {
        if (!is_fp_type(row.type) || per_family.count(row.family) == 0) continue;
        ++rows_seen[row.family];
        EXPECT_NE(row.state, RowState::no_layout) << row.name << " has no operand layout";
        for (int i = 0; i < 64; ++i) {
            const uint32_t word = row.fixed_bits() | (rng() & ~row.fixed_mask());
            if (find_decode_row(word) != &row) continue; // an earlier row owns this word
            words.push_back(word);
            owners.push_back(&row);
        }
    }
    for (const ImmediateFamily &f : kImmediateFamilies)
        EXPECT_EQ(rows_seen[f.family], f.rows) << f.family;

    const auto listing = disassemble(words);
    std::map<std::string, int> checked;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (listing[i].empty()) continue; // an unallocated variant of the row's encoding
        const DecodeRow &row = *owners[i];
        const std::string ours = row.describe_operands(words[i]);
        const std::vector<double> want = immediates(listing[i]);
        const std::vector<double> got = immediates(ours);
        EXPECT_EQ(want.size(), per_family[row.family]) << row.name << ": " << listing[i];
        EXPECT_EQ(got, want) << row.name << " " << std::hex << words[i] << ": ours [" << ours
                             << "], disassembler [" << listing[i] << "]";
        ++checked[row.name];
    }
    for (const DecodeRow &row : kDecodeRows) {
        if (is_fp_type(row.type) && per_family.count(row.family)) {
            EXPECT_GT(checked[row.name], 8) << row.name << ": too few defined encodings drawn";
        }
    }
}

// Every imm8 in every width: the half, single and double patterns of the record, and the pattern a
// kernel of each element size receives, all hold the value the disassembler prints for FDUP.
TEST(FpImmediates, DupImmediateExpandsToTheDisassemblersValueInEveryWidth) {
    if (!have_objdump()) GTEST_SKIP() << "aarch64-linux-gnu-objdump not installed";
    constexpr uint32_t kFdup = 0x2539c000; // FDUP Zd.<T>, #imm with size and imm8 clear
    std::vector<uint32_t> words;
    for (uint32_t size = 1; size <= 3; ++size)
        for (uint32_t imm8 = 0; imm8 < 256; ++imm8)
            words.push_back(kFdup | size << 22 | imm8 << 5 | (imm8 & 31));
    const auto listing = disassemble(words);
    static cpu_state state;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const uint32_t size = 1 + static_cast<uint32_t>(i / 256), imm8 = i % 256;
        const std::vector<double> printed = immediates(listing[i]);
        ASSERT_EQ(printed.size(), 1u) << std::hex << words[i] << ": " << listing[i];
        const decode::RowInfo info{static_cast<uint8_t>(size), true};
        const aarch64_sve_fp_dup_imm rec = decode::FpDupImm::operand(words[i], info);
        SCOPED_TRACE("imm8 " + std::to_string(imm8) + " size " + std::to_string(size));
        EXPECT_EQ(half_value(rec.half), printed[0]);
        EXPECT_EQ(decode::single_from_bits(rec.single), printed[0]);
        EXPECT_EQ(decode::double_from_bits(rec.double_), printed[0]);
        EXPECT_EQ(value_of_size(decode::FpDupImm::value(state, words[i], info), size), printed[0]);
    }
}

// The arithmetic immediates: executors get i1 itself, kernels the constant as a single pattern.
TEST(FpImmediates, ArithmeticImmediatePassesI1AndTheConstant) {
    using decode::FpArithImm;
    struct Case {
        uint32_t (*single_bits)(uint32_t);
        float when0, when1;
    };
    const Case cases[] = {
        {&FpArithImm<decode::FpHalfOrOne>::single_bits, 0.5f, 1.0f},
        {&FpArithImm<decode::FpHalfOrTwo>::single_bits, 0.5f, 2.0f},
        {&FpArithImm<decode::FpZeroOrOne>::single_bits, 0.0f, 1.0f},
    };
    const decode::RowInfo info{1, true};
    // FADD z0.h, p0/m, #0.5; FADD z0.s, #1.0; FMAXNM with every other field set, i1 = 1 and 0.
    for (uint32_t word : {0x65588000u, 0x65988020u, 0x65dcfc3fu, 0x65dcfc1fu}) {
        const uint32_t i1 = (word >> 5) & 1;
        EXPECT_EQ(FpArithImm<decode::FpZeroOrOne>::operand(word, info).i1, i1) << std::hex << word;
        for (const Case &c : cases) {
            const float constant = decode::single_from_bits(c.single_bits(word));
            EXPECT_EQ(constant, i1 ? c.when1 : c.when0) << std::hex << word;
            EXPECT_FALSE(std::signbit(constant)) << "the zero constant is +0.0";
        }
    }
}

// SIMD&FP scalar operands reach kernels as element 0 of their register, zero-extended from the
// element size; executors get the register number.
TEST(FpImmediates, ScalarOperandReadsElementZeroOfItsSize) {
    static cpu_state state;
    for (unsigned b = 0; b < kVectorBytes; ++b)
        state.z[9][b] = static_cast<uint8_t>(0xa1 + b);
    const uint32_t word = 0x65d82529; // FADDA d9, p1, d9, z9.d
    struct Case {
        uint8_t size;
        uint64_t expected;
    };
    const Case cases[] = {{1, 0xa2a1}, {2, 0xa4a3a2a1}, {3, 0xa8a7a6a5a4a3a2a1}};
    for (const Case &c : cases) {
        const decode::RowInfo info{c.size, true};
        EXPECT_EQ(decode::VScalar<0>::value(state, word, info), c.expected) << int{c.size};
        EXPECT_EQ(decode::VScalar<0>::operand(word, info), 9u);
    }
}

} // namespace
