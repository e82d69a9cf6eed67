// Disassembly of many words in one run of the cross disassembler.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ostrel::oracle {

constexpr const char *kDisassembler = "aarch64-linux-gnu-objdump";

// Word -> "mnemonic operands"; words the disassembler did not print are missing.
std::map<uint32_t, std::string> disassemble_words(const std::vector<uint32_t> &words);

} // namespace ostrel::oracle
