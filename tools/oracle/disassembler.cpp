#include "tools/oracle/disassembler.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

namespace ostrel::oracle {

std::map<uint32_t, std::string> disassemble_words(const std::vector<uint32_t> &words) {
    std::map<uint32_t, std::string> out;
    if (words.empty()) return out;
    char path[] = "/tmp/ostrel-oracle-wordsXXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return out;
    std::vector<uint8_t> bytes;
    for (uint32_t w : words)
        for (unsigned i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
    const bool written =
        write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    if (written) {
        const std::string command = std::string(kDisassembler) + " -D -b binary -m aarch64 " + path;
        if (FILE *pipe = popen(command.c_str(), "r")) {
            // "   4:\t04400420 \tadd\tz0.h, p1/m, z0.h, z1.h"
            static const std::regex line_form(R"(^\s*([0-9a-f]+):\s+([0-9a-f]{8})\s+(.*)$)");
            char line[512];
            while (std::fgets(line, sizeof line, pipe)) {
                std::string text = line;
                while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
                    text.pop_back();
                std::smatch m;
                if (!std::regex_match(text, m, line_form)) continue;
                std::string instruction = m[3];
                for (char &ch : instruction)
                    if (ch == '\t') ch = ' ';
                out[static_cast<uint32_t>(std::strtoul(m[2].str().c_str(), nullptr, 16))] =
                    instruction;
            }
            pclose(pipe);
        }
    }
    unlink(path);
    return out;
}

} // namespace ostrel::oracle
