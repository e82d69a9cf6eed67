// The operand layouts against an independent decoder: for random encodings of every row that has
// a layout, the registers the decode function extracts must be the registers binutils'
// disassembler names for the same word.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "sve/decode/decode_rows.h"

using namespace ostrel;

namespace {

// Register tokens of an operand text: z3.h, p1/m, p2.s, p0, x5, w7, xzr, sp, d0 ...
std::multiset<std::string> register_tokens(const std::string &operands) {
    static const std::regex token(
        R"(\b(z\d+(\.[bhsdq])?|p\d+(/[mz]|\.[bhsd])?|[xw]\d+|xzr|wzr|w?sp|[bhsdq]\d+)\b)");
    std::set<std::string> seen;
    for (auto it = std::sregex_iterator(operands.begin(), operands.end(), token);
         it != std::sregex_iterator(); ++it)
        seen.insert(it->str());
    return {seen.begin(), seen.end()};
}

// A Z register written without a size matches the same register with any size.
bool same_registers(const std::multiset<std::string> &ours,
                    const std::multiset<std::string> &theirs) {
    auto strip = [](const std::multiset<std::string> &tokens) {
        std::set<std::string> out;
        for (const std::string &t : tokens)
            out.insert(t[0] == 'z' ? t.substr(0, t.find('.')) : t);
        return out;
    };
    if (ours == theirs) return true;
    // Sizes compared only where both sides name one.
    auto a = strip(ours), b = strip(theirs);
    if (a != b) return false;
    for (const std::string &t : ours)
        if (t[0] == 'z' && t.find('.') != std::string::npos && theirs.count(t) == 0) {
            bool theirs_unsized = theirs.count(t.substr(0, t.find('.'))) > 0;
            if (!theirs_unsized) return false;
        }
    return true;
}

// Aliases that leave out a repeated register (MOV for SEL, ORR or AND with a repeated operand,
// NOT and NOTS for EOR with Pm = Pg) name fewer registers, with other qualifiers: there only the
// register names are compared, and the disassembler's must be among ours.
bool alias_registers_match(const std::multiset<std::string> &ours,
                           const std::multiset<std::string> &theirs) {
    auto names = [](const std::multiset<std::string> &tokens) {
        std::set<std::string> out;
        for (const std::string &t : tokens)
            out.insert(t.substr(0, t.find_first_of("./")));
        return out;
    };
    const auto a = names(ours);
    for (const std::string &t : names(theirs))
        if (a.count(t) == 0) return false;
    return true;
}
bool is_alias(const std::string &mnemonic) {
    return mnemonic == "mov" || mnemonic == "movs" || mnemonic == "not" || mnemonic == "nots";
}

struct Disassembly {
    std::string mnemonic, operands;
    bool undefined;
};

std::vector<Disassembly> disassemble(const std::vector<uint32_t> &words) {
    const std::string path = testing::TempDir() + "ostrel-operand-layout.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(words.data()),
                  static_cast<std::streamsize>(words.size() * 4));
    }
    const std::string cmd = "aarch64-linux-gnu-objdump -D -b binary -m aarch64 " + path;
    FILE *pipe = popen(cmd.c_str(), "r");
    std::vector<Disassembly> result(words.size(), Disassembly{"", "", true});
    if (!pipe) return {};
    char line[512];
    static const std::regex row(R"(^\s*([0-9a-f]+):\s+[0-9a-f]{8}\s+(\S+)\s*(.*)$)");
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        std::smatch m;
        if (!std::regex_match(text, m, row)) continue;
        const std::size_t index = std::stoul(m[1].str(), nullptr, 16) / 4;
        if (index >= result.size()) continue;
        const std::string ops = m[3].str();
        result[index] = {m[2].str(), ops.substr(0, ops.find("//")),
                         m[2].str() == ".inst" || ops.find("undefined") != std::string::npos};
    }
    pclose(pipe);
    return result;
}

TEST(OperandLayouts, RegistersMatchTheDisassembler) {
    if (std::system("aarch64-linux-gnu-objdump --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "aarch64-linux-gnu-objdump not installed (binutils-aarch64-linux-gnu)";
    std::mt19937 rng(11);
    std::vector<uint32_t> words;
    std::vector<const DecodeRow *> owners;
    for (const DecodeRow &row : kDecodeRows) {
        if (row.state == RowState::no_layout || row.road == Road::none) continue;
        for (int i = 0; i < 24; ++i) {
            words.push_back(row.fixed_bits() | (rng() & ~row.fixed_mask()));
            owners.push_back(&row);
        }
    }
    const auto listing = disassemble(words);
    ASSERT_EQ(listing.size(), words.size());
    std::map<std::string, int> checked;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (listing[i].undefined) continue; // an unallocated variant of the row's encoding
        const DecodeRow &row = *owners[i];
        const std::string ours = row.describe_operands(words[i]);
        const auto ours_tokens = register_tokens(ours),
                   theirs_tokens = register_tokens(listing[i].operands);
        EXPECT_TRUE(
            same_registers(ours_tokens, theirs_tokens) ||
            (is_alias(listing[i].mnemonic) && alias_registers_match(ours_tokens, theirs_tokens)))
            << row.name << " " << std::hex << words[i] << ": ours [" << ours << "], disassembler ["
            << listing[i].mnemonic << " " << listing[i].operands << "]";
        ++checked[row.name];
    }
    // Every row with a layout was checked on at least one defined encoding.
    for (const DecodeRow &row : kDecodeRows) {
        if (row.state != RowState::no_layout && row.road != Road::none) {
            EXPECT_GT(checked[row.name], 0) << row.name << ": no defined encoding drawn";
        }
    }
}

} // namespace
