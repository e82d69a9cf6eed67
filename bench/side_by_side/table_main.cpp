// ostrel-bench-table: prints the side-by-side table and its summary lines from the result files
// of the two sides (and of the client's counts, when there are some).
//   ostrel-bench-table --qemu FILE --engine FILE
//                      [--client FILE --client-short K1 --client-long K2] [--sequence FILE]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/side_by_side/table.h"

namespace {

using namespace ostrel::bench;

bool read_results(const char *path, ResultLines &lines) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "ostrel-bench-table: cannot open %s\n", path);
        return false;
    }
    std::string error;
    if (!parse_result_lines(in, lines, error)) {
        std::fprintf(stderr, "ostrel-bench-table: %s: %s\n", path, error.c_str());
        return false;
    }
    return true;
}

int usage() {
    std::fputs("usage: ostrel-bench-table --qemu FILE --engine FILE [--client FILE "
               "--client-short K1 --client-long K2] [--sequence FILE]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    Measurements m;
    const char *qemu = nullptr, *engine = nullptr, *client = nullptr, *sequence = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--qemu") == 0)
            qemu = argv[i + 1];
        else if (std::strcmp(argv[i], "--engine") == 0)
            engine = argv[i + 1];
        else if (std::strcmp(argv[i], "--client") == 0)
            client = argv[i + 1];
        else if (std::strcmp(argv[i], "--client-short") == 0)
            m.client_short = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--client-long") == 0)
            m.client_long = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--sequence") == 0)
            sequence = argv[i + 1];
        else
            return usage();
    }
    if (argc % 2 == 0 || !qemu || !engine || (client && m.client_long <= m.client_short))
        return usage();
    if (!read_results(qemu, m.qemu) || !read_results(engine, m.engine)) return 1;
    if (client && !read_results(client, m.client)) return 1;
    ResultLines per_row;
    if (sequence && !read_results(sequence, per_row)) return 1;

    const std::vector<TableRow> rows = build_rows(m);
    std::fputs(format_table(rows).c_str(), stdout);
    std::fputs(
        format_summary(summarise(rows), format_client_sequence(per_row), m.client_long).c_str(),
        stdout);
    return 0;
}
