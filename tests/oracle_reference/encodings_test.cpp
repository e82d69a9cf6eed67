// The words the tests run are the instructions they mean: checked against the disassembler, so
// an expectation is never computed for a different instruction than the one executed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "tests/oracle_reference/case_builder.h"
#include "tests/oracle_reference/reference_process.h"

namespace ostrel::oracle::testing {
namespace {

struct Expected {
    uint32_t word;
    const char *text;
};

// Disassembly of each word, whitespace collapsed: "<word> <mnemonic operands...>".
std::vector<std::string> disassemble(const std::vector<Expected> &table) {
    char path[] = "/tmp/ostrel-oracle-ref-wordsXXXXXX";
    const int fd = mkstemp(path);
    for (const Expected &e : table) {
        uint8_t bytes[4];
        store_le(bytes, 4, e.word);
        EXPECT_EQ(write(fd, bytes, 4), 4);
    }
    close(fd);
    const RunnerOutput r =
        run_command({"aarch64-linux-gnu-objdump", "-D", "-b", "binary", "-m", "aarch64", path}, "");
    unlink(path);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(":\t");
        if (colon == std::string::npos) continue;
        std::istringstream words(line.substr(colon + 2));
        std::string text, w;
        while (words >> w)
            text += (text.empty() ? "" : " ") + w;
        lines.push_back(text);
    }
    return lines;
}

std::string hex_word(uint32_t word) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", word);
    return text;
}

TEST(OracleReferenceEncodings, WordsDisassembleToTheInstructionsMeant) {
    const std::vector<Expected> table = {
        {add_vectors(0, 3, 4, 31), "add z3.b, z4.b, z31.b"},
        {add_vectors(1, 0, 1, 2), "add z0.h, z1.h, z2.h"},
        {add_vectors(2, 31, 0, 17), "add z31.s, z0.s, z17.s"},
        {add_vectors(3, 0, 1, 2), "add z0.d, z1.d, z2.d"},
        {ptrues(2, 3, pattern::kVl7), "ptrues p3.s, vl7"},
        {ptrues(0, 0, pattern::kVl256), "ptrues p0.b, vl256"},
        {ptrues(3, 15, pattern::kPow2), "ptrues p15.d, pow2"},
        {ptrues(1, 1, pattern::kMul3), "ptrues p1.h, mul3"},
        {ptrues(3, 2, pattern::kMul4), "ptrues p2.d, mul4"},
        {ptrues(0, 7, pattern::kAll), "ptrues p7.b"},
        {whilelo_x(2, 2, 3, 4), "whilelo p2.s, x3, x4"},
        {whilelo_x(0, 15, 30, 29), "whilelo p15.b, x30, x29"},
        {whilelo_x(3, 0, 0, 1), "whilelo p0.d, x0, x1"},
        {word::kCntbX0, "cntb x0"},
        {word::kCntdX30, "cntd x30"},
        {word::kIncbX30, "incb x30"},
        {word::kRdvlX30Times3, "rdvl x30, #3"},
        {word::kAddvlSpSp1, "addvl sp, sp, #1"},
        {word::kAddvlX30SpMinus2, "addvl x30, sp, #-2"},
        {word::kPtrueP3B, "ptrue p3.b"},
        {word::kSetffr, "setffr"},
        {word::kRdffrP5, "rdffr p5.b"},
        {word::kRdffrsP5P6, "rdffrs p5.b, p6/z"},
        {word::kLd1dZ7P1Sp, "ld1d {z7.d}, p1/z, [sp]"},
        {word::kLd1dZ7P1SpPlusVl, "ld1d {z7.d}, p1/z, [sp, #1, mul vl]"},
        {word::kLd1dZ0P0X1, "ld1d {z0.d}, p0/z, [x1]"},
        {word::kLdff1dZ0P0X1, "ldff1d {z0.d}, p0/z, [x1, xzr, lsl #3]"},
        {word::kSt1dZ0P0X1, "st1d {z0.d}, p0, [x1]"},
        {word::kSt1bZ4P2X5, "st1b {z4.b}, p2, [x5]"},
        {word::kSt1bZ4P2X5X6, "st1b {z4.b}, p2, [x5, x6]"},
        {word::kUdf0, "udf #0"},
        {word::kUnallocatedIntBinary, ".inst 0x04072e8c ; undefined"},
        {word::kUnallocatedPredicate, ".inst 0x25bf992d ; undefined"},
    };
    const std::vector<std::string> lines = disassemble(table);
    ASSERT_EQ(lines.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(lines[i], hex_word(table[i].word) + " " + table[i].text);
}

} // namespace
} // namespace ostrel::oracle::testing
