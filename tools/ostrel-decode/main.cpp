// ostrel-decode HEX...   prints "HEX NAME" per 32-bit word, "-" when no handler knows it
// ostrel-decode --list   prints every decode row: name, table, key, road
// ostrel-decode --status prints how many rows are built, have a layout only, or have none
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sve/decode/decode_rows.h"

namespace {

void usage() {
    std::fprintf(stderr, "usage: ostrel-decode HEX...\n"
                         "       ostrel-decode --list\n"
                         "       ostrel-decode --status\n");
}

// Accepts 1 to 8 hexadecimal digits with an optional 0x prefix.
bool parse_word(const char *text, uint32_t &word) {
    const char *digits = (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) ? text + 2 : text;
    std::size_t n = std::strlen(digits);
    if (n == 0 || n > 8 || std::strspn(digits, "0123456789abcdefABCDEF") != n) return false;
    word = static_cast<uint32_t>(std::strtoul(digits, nullptr, 16));
    return true;
}

void list_rows() {
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows) {
        std::printf("%s %s 0x%x %s", row.name, row.rule().name, row.key,
                    ostrel::road_name(row.road));
        if (row.road == ostrel::Road::executor || row.road == ostrel::Road::executor_fpsr_wrap)
            std::printf(":%s", row.target);
        std::printf("\n");
    }
}

const char *state_name(ostrel::RowState state) {
    switch (state) {
    case ostrel::RowState::built:
        return "built";
    case ostrel::RowState::pending:
        return "layout only";
    case ostrel::RowState::no_layout:
        return "no layout";
    }
    return "?";
}

// Progress of the emulation: rows per state, and the rows that still lack a layout.
void print_status() {
    std::size_t counts[3] = {};
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
        ++counts[static_cast<int>(row.state)];
    for (auto state :
         {ostrel::RowState::built, ostrel::RowState::pending, ostrel::RowState::no_layout})
        std::printf("%-12s %zu\n", state_name(state), counts[static_cast<int>(state)]);
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
        if (row.state == ostrel::RowState::no_layout) std::printf("no layout: %s\n", row.name);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    if (std::strcmp(argv[1], "--status") == 0 && argc == 2) {
        print_status();
        return 0;
    }
    if (std::strcmp(argv[1], "--list") == 0) {
        if (argc != 2) {
            usage();
            return 2;
        }
        list_rows();
        return 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        uint32_t word;
        if (!parse_word(argv[i], word)) {
            std::fprintf(stderr, "ostrel-decode: not a 32-bit hexadecimal word: '%s'\n", argv[i]);
            status = 1;
            continue;
        }
        const ostrel::DecodeRow *row = ostrel::find_decode_row(word);
        std::printf("%08x %s\n", word, row ? row->name : "-");
    }
    return status;
}
