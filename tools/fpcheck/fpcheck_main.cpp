// ostrel-fpcheck: checks the software floating-point library bit for bit, result and cumulative
// flags, against the A64 scalar instructions run under qemu-aarch64 -cpu max.
//
//   ostrel-fpcheck [--ops REGEX] [--cases N] [--seed S] [--no-exhaustive] [--jobs J]
//                  [--ref PATH] [--ref-direct] [--list]
//
// Each operation gets N random cases (FPCR fields random per case) plus, unless --no-exhaustive,
// every input of each half-precision unary operation in every FPCR mode that matters. One line per
// operation, then "fpcheck: O operations, C cases, D differences".
#include "tools/fpcheck/check_run.h"
#include "tools/oracle/child_process.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <limits.h>
#include <regex>
#include <string>

using namespace ostrel::fpcheck;

namespace {

constexpr const char *kQemu = "qemu-aarch64";
constexpr const char *kSysroot = "/usr/aarch64-linux-gnu";

int usage(const char *problem) {
    if (problem) std::fprintf(stderr, "ostrel-fpcheck: %s\n", problem);
    std::fprintf(stderr, "usage: ostrel-fpcheck [--ops REGEX] [--cases N] [--seed S] "
                         "[--no-exhaustive] [--jobs J]\n"
                         "                      [--ref PATH] [--ref-direct] [--list]\n");
    return 2;
}

std::string program_directory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    path[n] = 0;
    std::string s(path);
    return s.substr(0, s.rfind('/'));
}

} // namespace

int main(int argc, char **argv) {
    std::signal(SIGPIPE, SIG_IGN); // a runner that dies shows up as a failed write
    CheckConfig config;
    std::string pattern = ".*", reference;
    bool direct = false, list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--no-exhaustive") {
            config.exhaustive = false;
        } else if (arg == "--ref-direct") {
            direct = true;
        } else if (arg == "--list") {
            list = true;
        } else if (!has_value) {
            return usage(("unknown option or missing value: " + arg).c_str());
        } else if (arg == "--ops") {
            pattern = argv[++i];
        } else if (arg == "--cases") {
            config.random_cases = std::strtoull(argv[++i], nullptr, 0);
        } else if (arg == "--seed") {
            config.seed = std::strtoull(argv[++i], nullptr, 0);
        } else if (arg == "--jobs") {
            config.jobs = std::atoi(argv[++i]);
        } else if (arg == "--ref") {
            reference = argv[++i];
        } else {
            return usage(("unknown option: " + arg).c_str());
        }
    }

    std::vector<const OpInfo *> ops;
    try {
        const std::regex re(pattern);
        for (size_t i = 0; i < kOpCount; ++i) {
            const OpInfo &op = op_info(static_cast<OpId>(i));
            if (std::regex_search(op.name, re)) ops.push_back(&op);
        }
    } catch (const std::regex_error &) {
        return usage("--ops is not a regular expression");
    }
    if (list) {
        for (const OpInfo *op : ops)
            std::printf("%s\n", op->name);
        return 0;
    }
    if (ops.empty()) return usage("--ops matches no operation");

    // The AArch64 tree sits beside this one: <tree>/bin -> <tree>/../aarch64/bin.
    if (reference.empty())
        reference = program_directory() + "/../../aarch64/bin/ostrel-fpcheck-ref";
    if (!ostrel::oracle::executable_exists(reference)) {
        std::fprintf(stderr,
                     "ostrel-fpcheck: no reference runner at %s (build the AArch64 tree, "
                     "or give --ref)\n",
                     reference.c_str());
        return 2;
    }
    if (!direct && !ostrel::oracle::executable_exists(kQemu)) {
        std::fprintf(stderr, "ostrel-fpcheck: %s not found\n", kQemu);
        return 2;
    }
    config.reference_command =
        direct ? std::vector<std::string>{reference}
               : std::vector<std::string>{kQemu, "-cpu", "max", "-L", kSysroot, reference};

    const std::vector<OpReport> reports = run_checks(ops, config);
    uint64_t cases = 0, differences = 0;
    int failed = 0;
    for (const OpReport &r : reports) {
        cases += r.cases;
        differences += r.differences;
        if (!r.error.empty()) {
            ++failed;
            std::printf("ERROR %-12s %s\n", r.op->name, r.error.c_str());
        } else if (r.differences) {
            ++failed;
            std::printf("DIFF  %-12s %llu cases, %llu differences; first: %s\n", r.op->name,
                        static_cast<unsigned long long>(r.cases),
                        static_cast<unsigned long long>(r.differences), r.first_difference.c_str());
        } else {
            std::printf("PASS  %-12s %llu cases\n", r.op->name,
                        static_cast<unsigned long long>(r.cases));
        }
    }
    std::printf("fpcheck: %zu operations, %llu cases, %llu differences, %d failing (seed %llu)\n",
                reports.size(), static_cast<unsigned long long>(cases),
                static_cast<unsigned long long>(differences), failed,
                static_cast<unsigned long long>(config.seed));
    return failed ? 1 : 0;
}
