// ostrel-oracle: checks the emulator's instructions bit for bit against real SVE under qemu.
//
//   ostrel-oracle [--rows REGEX] [--cases N] [--seed S] [--arch native|aarch64] [--jobs J]
//                 [--vl BITS] [--ref PATH] [--engine PATH] [--ref-direct] [--deviations PATH]
//
// Both sides run at the vector length BITS (default 1536): the reference under qemu with SVE at
// that length, the engine with the emulator set to it by the cases themselves.
// One line per selected row (PASS, MISMATCH, UNIMPLEMENTED, UNDEFINED), then the summary line.
// Exit status 0 when no row mismatches, 1 when one does, 2 when the run cannot start.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "sve/client/vector_length.h"
#include "tools/oracle/child_process.h"
#include "tools/oracle/disassembler.h"
#include "tools/oracle/oracle_run.h"

namespace {

using namespace ostrel::oracle;

constexpr const char *kQemu = "qemu-aarch64";
constexpr const char *kSysroot = "/usr/aarch64-linux-gnu";

struct Options {
    std::string rows = ".";
    uint32_t cases = 100;
    uint64_t seed = 1;
    std::string arch = "native";
    unsigned jobs = 1;
    unsigned vector_bits = ostrel::kDefaultVectorBits;
    std::string reference, engine, deviations = OSTREL_DEVIATIONS_PATH;
    bool reference_direct = false; // a stand-in reference that runs on this host
};

int usage(const char *why) {
    std::fprintf(stderr,
                 "ostrel-oracle: %s\n"
                 "usage: ostrel-oracle [--rows REGEX] [--cases N] [--seed S] "
                 "[--arch native|aarch64] [--jobs J]\n"
                 "                     [--vl BITS] [--ref PATH] [--engine PATH] [--ref-direct] "
                 "[--deviations PATH]\n",
                 why);
    return 2;
}

bool parse_number(const char *text, uint64_t max, uint64_t &value) {
    char *end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || v > max || text[0] == '-') return false;
    value = v;
    return true;
}

std::string own_directory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    path[n] = '\0';
    std::string dir = path;
    return dir.substr(0, dir.rfind('/'));
}

int fail(const std::string &message) {
    std::fprintf(stderr, "ostrel-oracle: %s\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        uint64_t n = 0;
        if (arg == "--ref-direct") {
            o.reference_direct = true;
        } else if (!has_value) {
            return usage(("unknown option or missing value: " + arg).c_str());
        } else if (arg == "--rows") {
            o.rows = argv[++i];
        } else if (arg == "--cases") {
            if (!parse_number(argv[++i], 1000000, n) || n == 0)
                return usage("--cases needs a count");
            o.cases = static_cast<uint32_t>(n);
        } else if (arg == "--seed") {
            if (!parse_number(argv[++i], UINT64_MAX, n)) return usage("--seed needs a number");
            o.seed = n;
        } else if (arg == "--arch") {
            o.arch = argv[++i];
            if (o.arch != "native" && o.arch != "aarch64")
                return usage("--arch is native or aarch64");
        } else if (arg == "--jobs") {
            if (!parse_number(argv[++i], 256, n) || n == 0) return usage("--jobs needs a count");
            o.jobs = static_cast<unsigned>(n);
        } else if (arg == "--vl") {
            if (!ostrel::parse_vector_length(argv[++i], &o.vector_bits))
                return usage(ostrel::kVectorLengthRule);
        } else if (arg == "--ref") {
            o.reference = argv[++i];
        } else if (arg == "--engine") {
            o.engine = argv[++i];
        } else if (arg == "--deviations") {
            o.deviations = argv[++i];
        } else {
            return usage(("unknown option: " + arg).c_str());
        }
    }

    // The cases are generated at this length and carry it to both runners.
    ostrel::set_vector_length_bits(o.vector_bits);

    std::regex rows_pattern;
    try {
        rows_pattern = std::regex(o.rows);
    } catch (const std::regex_error &) {
        return usage(("not a regular expression: " + o.rows).c_str());
    }
    std::vector<const ostrel::DecodeRow *> rows;
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
        if (std::regex_search(row.name, rows_pattern)) rows.push_back(&row);
    if (rows.empty()) return fail("no decode row matches '" + o.rows + "'");

    // The AArch64 tree sits beside this one: build/native/bin -> build/aarch64/bin.
    const std::string here = own_directory();
    const std::string aarch64_bin = here + "/../../aarch64/bin";
    if (o.reference.empty()) o.reference = aarch64_bin + "/ostrel-oracle-ref";
    if (o.engine.empty())
        o.engine = (o.arch == "native" ? here : aarch64_bin) + "/ostrel-oracle-engine";

    const bool needs_qemu = !o.reference_direct || o.arch == "aarch64";
    if (needs_qemu && !executable_exists(kQemu))
        return fail(std::string(kQemu) + " not found on PATH; it runs the reference");
    if (!executable_exists(o.reference))
        return fail("reference runner not found: " + o.reference +
                    " (build the AArch64 tree, or give --ref)");
    if (!executable_exists(o.engine))
        return fail("engine runner not found: " + o.engine + " (build it, or give --engine)");
    if (!executable_exists(kDisassembler))
        return fail(std::string(kDisassembler) + " not found on PATH; it names mismatching words");

    RunConfig config;
    std::string error;
    if (!load_deviations(o.deviations, config.deviations, error)) return fail(error);
    if (o.reference_direct)
        config.reference_command = {o.reference};
    else
        config.reference_command = {
            kQemu, "-cpu",   "max,sve-default-vector-length=" + std::to_string(o.vector_bits / 8),
            "-L",  kSysroot, o.reference};
    if (o.arch == "native")
        config.engine_command = {o.engine};
    else
        config.engine_command = {kQemu, "-cpu", "neoverse-n1", "-L", kSysroot, o.engine};
    config.cases = o.cases;
    config.seed = o.seed;
    config.jobs = o.jobs;

    // A runner that ends early must not end us: its pipe reports the end instead.
    signal(SIGPIPE, SIG_IGN);
    const std::vector<RowReport> reports = run_oracle(rows, config);

    std::vector<uint32_t> words;
    for (const RowReport &r : reports)
        if (r.status() == RowStatus::mismatch) words.push_back(r.mismatch_encoding);
    const std::map<uint32_t, std::string> disassembly = disassemble_words(words);
    for (const RowReport &r : reports)
        std::printf("%s\n", row_line(r, disassembly).c_str());
    std::printf("%s\n", summary_line(reports).c_str());
    return all_match(reports) ? 0 : 1;
}
