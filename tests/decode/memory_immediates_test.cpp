// The offsets and scales of the memory layouts against binutils' disassembler. Our layouts pass
// offsets unscaled (in the unit the executor multiplies by); the disassembler prints them in the
// assembler's unit. For random encodings of every memory row the two must agree under the
// relation of the row's addressing kind:
//
//   contiguous scalar plus immediate  [x0, #k, mul vl]  k = ours (vector lengths)
//   structure scalar plus immediate   [x0, #k, mul vl]  k = ours * members
//   load and replicate                [x0, #b]          b = ours * memory element size
//   load and replicate quadword       [x0, #b]          b = ours * 16
//   vector plus immediate             [z1.d, #b]        b = ours * memory element size
//   fill and spill                    [x0, #k, mul vl]  k = ours (whole registers)
//
// Forms without an immediate carry their scale in the row's family (the digit after Load,
// Store or LEA); the disassembler's shift and extension must match it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "sve/decode/decode_rows.h"

using namespace ostrel;

namespace {

struct Listing {
    std::string operands;
    bool defined;
};

std::vector<Listing> disassemble(const std::vector<uint32_t> &words) {
    const std::string path = testing::TempDir() + "ostrel-memory-immediates.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(words.data()),
                  static_cast<std::streamsize>(words.size() * 4));
    }
    const std::string cmd = "aarch64-linux-gnu-objdump -D -b binary -m aarch64 " + path;
    std::vector<Listing> result(words.size(), Listing{"", false});
    FILE *pipe = popen(cmd.c_str(), "r");
    if (!pipe) return {};
    static const std::regex row(R"(^\s*([0-9a-f]+):\s+[0-9a-f]{8}\s+(\S+)\s*(.*)$)");
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        std::smatch m;
        if (!std::regex_match(text, m, row)) continue;
        const std::size_t index = std::stoul(m[1].str(), nullptr, 16) / 4;
        if (index >= result.size()) continue;
        const std::string ops = m[3].str();
        result[index] = {ops, m[2].str() != ".inst" && ops.find("undefined") == std::string::npos};
    }
    pclose(pipe);
    return result;
}

bool have_objdump() {
    return std::system("aarch64-linux-gnu-objdump --version > /dev/null 2>&1") == 0;
}

bool is_memory_row(const DecodeRow &row) {
    static const std::regex memory("Load|Store|Fill|Spill|LEA");
    return row.road != Road::none && std::regex_search(row.family, memory);
}

// Random encodings of a row, plus its free bits all clear and all set (the immediate's extremes).
std::vector<uint32_t> draws(const DecodeRow &row, std::mt19937 &rng, int count) {
    std::vector<uint32_t> words{row.fixed_bits(), row.fixed_bits() | ~row.fixed_mask()};
    for (int i = 0; i < count; ++i)
        words.push_back(row.fixed_bits() | (rng() & ~row.fixed_mask()));
    return words;
}

// The immediate our layout extracts: the operand text's trailing "#n".
std::optional<long> our_immediate(const std::string &ours) {
    static const std::regex imm(R"(#(-?\d+)$)");
    std::smatch m;
    if (!std::regex_search(ours, m, imm)) return std::nullopt;
    return std::stol(m[1].str());
}

// The disassembler's offset inside the brackets; an omitted offset is 0.
long their_offset(const std::string &operands) {
    static const std::regex imm(R"(\[[^\]]*#(-?\d+)[^\]]*\])");
    std::smatch m;
    return std::regex_search(operands, m, imm) ? std::stol(m[1].str()) : 0;
}

int digit_after(const std::string &family, const std::string &word) {
    const std::size_t at = family.find(word);
    return at == std::string::npos ? 0 : family[at + word.size()] - '0';
}

// How each addressing kind's disassembled offset follows from ours.
struct ImmediateKind {
    const char *name;
    std::regex family;
    long (*their_unit)(const std::string &family); // disassembler value = ours * unit
};

const std::vector<ImmediateKind> &immediate_kinds() {
    static const std::vector<ImmediateKind> kinds = {
        {"contiguous, in vector lengths", std::regex(R"(^C(Load|Store)(NT|NF)?\dSIZ$)"),
         [](const std::string &) { return 1L; }},
        {"structure, in vector lengths of one member", std::regex(R"(^E\d(Load|Store)\dSIZ$)"),
         [](const std::string &f) { return long{digit_after(f, "E")}; }},
        {"load and replicate, in memory elements", std::regex(R"(^LoadDup\dSIZ$)"),
         [](const std::string &f) { return long{digit_after(f, "LoadDup")}; }},
        {"load and replicate quadword, in 16-byte blocks", std::regex(R"(^LoadDup\dQSIZ$)"),
         [](const std::string &) { return 16L; }},
        {"vector plus immediate, in memory elements", std::regex(R"(^(Load|LoadFF|Store)\dVIZ$)"),
         [](const std::string &f) { return long{f[f.size() - 4] - '0'}; }}, // the digit before VIZ
        {"fill and spill, in whole registers", std::regex(R"(^(Fill|Spill)SI$)"),
         [](const std::string &) { return 1L; }},
    };
    return kinds;
}

const ImmediateKind *immediate_kind(const std::string &family) {
    for (const ImmediateKind &kind : immediate_kinds())
        if (std::regex_match(family, kind.family)) return &kind;
    return nullptr;
}

TEST(MemoryImmediates, OffsetsMatchTheDisassembler) {
    if (!have_objdump()) GTEST_SKIP() << "aarch64-linux-gnu-objdump not installed";
    std::mt19937 rng(29);
    std::vector<uint32_t> words;
    std::vector<const DecodeRow *> owners;
    for (const DecodeRow &row : kDecodeRows) {
        if (!is_memory_row(row)) continue;
        for (uint32_t w : draws(row, rng, 40)) {
            words.push_back(w);
            owners.push_back(&row);
        }
    }
    const auto listing = disassemble(words);
    ASSERT_EQ(listing.size(), words.size());
    std::map<std::string, std::pair<long, long>> range; // row: smallest and largest offset seen
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!listing[i].defined) continue;
        const DecodeRow &row = *owners[i];
        const std::string ours = row.describe_operands(words[i]);
        ASSERT_NE(ours, "?") << row.name << ": no layout";
        const ImmediateKind *kind = immediate_kind(row.family);
        const std::optional<long> imm = our_immediate(ours);
        if (!kind) {
            EXPECT_FALSE(imm) << row.name
                              << " passes an immediate its kind does not have: " << ours;
            continue;
        }
        ASSERT_TRUE(imm) << row.name << ": no immediate in [" << ours << "]";
        EXPECT_EQ(*imm * kind->their_unit(row.family), their_offset(listing[i].operands))
            << row.name << " (" << kind->name << ") " << std::hex << words[i] << ": ours [" << ours
            << "], disassembler [" << listing[i].operands << "]";
        auto [it, fresh] = range.try_emplace(row.name, *imm, *imm);
        if (!fresh) {
            it->second.first = std::min(it->second.first, *imm);
            it->second.second = std::max(it->second.second, *imm);
        }
    }
    // Every row with an immediate was seen at both ends of a range that is not a single value.
    for (const DecodeRow &row : kDecodeRows) {
        if (!is_memory_row(row) || !immediate_kind(row.family)) continue;
        ASSERT_TRUE(range.count(row.name)) << row.name << ": no defined encoding drawn";
        EXPECT_LT(range[row.name].first, range[row.name].second) << row.name;
    }
}

// The scale and extension a form without an immediate takes from its family.
std::string expected_modifier(const DecodeRow &row) {
    const std::string family = row.family;
    const bool word_elements = std::string(row.type).find("32") != std::string::npos;
    auto shift = [](int scale) {
        return scale == 1 ? std::string() : " #" + std::to_string(__builtin_ctz(scale));
    };
    std::smatch m;
    static const std::regex lea(R"(^LEA(\d)([XY]?)VV$)");
    if (std::regex_match(family, m, lea)) {
        const int scale = std::stoi(m[1].str());
        const std::string ext = m[2] == "X" ? "sxtw" : m[2] == "Y" ? "uxtw" : "lsl";
        return scale == 1 && ext == "lsl" ? "" : ext + shift(scale);
    }
    static const std::regex scalar_index(R"((\d)Q?L?SSZ$)"); // LSSZ forms and LoadDup<m>QSSZ
    if (std::regex_search(family, m, scalar_index)) {
        const int scale = std::stoi(m[1].str());
        return scale == 1 ? "" : "lsl" + shift(scale);
    }
    static const std::regex vector_offsets(R"(^(Load|LoadFF|Store)(\d)([XY]?)(VS|SV)Z$)");
    if (std::regex_match(family, m, vector_offsets)) {
        const bool scaled = m[4] == "SV";
        const std::string ext = m[3] == "X"     ? "sxtw"
                                : m[3] == "Y"   ? "uxtw"
                                : word_elements ? "uxtw" // word elements only have 32-bit offsets
                                                : (scaled ? "lsl" : "");
        return ext + (scaled ? shift(std::stoi(m[2].str())) : "");
    }
    return "?";
}

// The disassembler's modifier of the address: "lsl #2", "sxtw", "uxtw #3" or "".
std::string their_modifier(const std::string &operands) {
    static const std::regex mod(R"(\[[^\]]*,\s*((lsl|sxtw|uxtw)( #\d+)?)\])");
    std::smatch m;
    return std::regex_search(operands, m, mod) ? m[1].str() : "";
}

TEST(MemoryImmediates, FamilyScalesMatchTheDisassembler) {
    if (!have_objdump()) GTEST_SKIP() << "aarch64-linux-gnu-objdump not installed";
    std::mt19937 rng(31);
    std::vector<uint32_t> words;
    std::vector<const DecodeRow *> owners;
    for (const DecodeRow &row : kDecodeRows) {
        if (!is_memory_row(row) || immediate_kind(row.family)) continue;
        for (uint32_t w : draws(row, rng, 8)) {
            words.push_back(w);
            owners.push_back(&row);
        }
    }
    ASSERT_FALSE(words.empty());
    const auto listing = disassemble(words);
    ASSERT_EQ(listing.size(), words.size());
    std::map<std::string, int> checked;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!listing[i].defined) continue;
        const DecodeRow &row = *owners[i];
        EXPECT_EQ(expected_modifier(row), their_modifier(listing[i].operands))
            << row.name << " " << std::hex << words[i] << ": [" << listing[i].operands << "]";
        ++checked[row.name];
    }
    for (const DecodeRow &row : kDecodeRows) {
        if (!is_memory_row(row) || immediate_kind(row.family)) continue;
        EXPECT_GT(checked[row.name], 0) << row.name << ": no defined encoding drawn";
    }
}

} // namespace
