#include "tools/fpcheck/check_run.h"

#include "tools/fpcheck/case_generator.h"
#include "tools/fpcheck/deviations.h"
#include "tools/fpcheck/library_ops.h"
#include "tools/oracle/child_process.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <thread>

namespace ostrel::fpcheck {

namespace {

// Big enough that the runner's start-up under qemu is paid rarely, small enough to stay in cache.
constexpr size_t kBatch = 1 << 16;

bool write_all(int fd, const void *data, size_t size) {
    auto *p = static_cast<const char *>(data);
    while (size) {
        const ssize_t n = ::write(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool read_all(int fd, void *data, size_t size) {
    auto *p = static_cast<char *>(data);
    while (size) {
        const ssize_t n = ::read(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string describe(const CheckCase &c, const CheckResult &ref, const CheckResult &lib,
                     bool with_nzcv) {
    auto result = [with_nzcv](const CheckResult &r) {
        char text[80];
        if (with_nzcv) {
            std::snprintf(text, sizeof text, "nzcv 0x%x fpsr 0x%02x", r.nzcv, r.fpsr & 0x9f);
        } else {
            std::snprintf(text, sizeof text, "0x%" PRIx64 " fpsr 0x%02x", r.value, r.fpsr & 0x9f);
        }
        return std::string(text);
    };
    char operands[160];
    std::snprintf(operands, sizeof operands,
                  "a=0x%" PRIx64 " b=0x%" PRIx64 " c=0x%" PRIx64 " fpcr=0x%08x fbits=%u", c.a, c.b,
                  c.c, c.fpcr, c.fbits);
    return std::string(operands) + ": reference " + result(ref) + ", library " + result(lib);
}

bool differs(const OpInfo &op, const CheckResult &ref, const CheckResult &lib) {
    const uint64_t mask = op.dst_bits == 64 ? ~uint64_t(0) : (uint64_t(1) << op.dst_bits) - 1;
    if (op.kind == OpKind::CMPFLAGS) {
        if (ref.nzcv != lib.nzcv) return true;
    } else if ((ref.value & mask) != (lib.value & mask)) {
        return true;
    }
    return (ref.fpsr & 0x9f) != (lib.fpsr & 0x9f);
}

void check_op(oracle::ChildProcess &reference, const CheckConfig &config, OpReport &report) {
    const OpInfo &op = *report.op;
    std::vector<CheckCase> cases = random_cases(op, config.random_cases, config.seed);
    if (config.exhaustive && has_exhaustive_cases(op)) {
        std::vector<CheckCase> all = exhaustive_cases(op);
        cases.insert(cases.end(), all.begin(), all.end());
    }
    std::vector<CheckCase> sent;
    std::vector<CheckResult> answers;
    for (size_t first = 0; first < cases.size(); first += kBatch) {
        const size_t n = std::min(kBatch, cases.size() - first);
        sent.resize(n);
        for (size_t i = 0; i < n; ++i)
            sent[i] = reference_case(op, cases[first + i]);
        const BatchHeader header{static_cast<uint32_t>(op.id), static_cast<uint32_t>(n)};
        answers.resize(n);
        if (!write_all(reference.to_child, &header, sizeof header) ||
            !write_all(reference.to_child, sent.data(), n * sizeof(CheckCase)) ||
            !read_all(reference.from_child, answers.data(), n * sizeof(CheckResult))) {
            report.error = "the reference runner stopped answering";
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            const CheckCase &c = cases[first + i];
            const CheckResult lib = run_library(op.id, c);
            if (differs(op, answers[i], lib)) {
                if (!report.differences++)
                    report.first_difference =
                        describe(c, answers[i], lib, op.kind == OpKind::CMPFLAGS);
            }
        }
        report.cases += n;
    }
}

} // namespace

std::vector<OpReport> run_checks(const std::vector<const OpInfo *> &ops,
                                 const CheckConfig &config) {
    std::vector<OpReport> reports(ops.size());
    for (size_t i = 0; i < ops.size(); ++i)
        reports[i].op = ops[i];
    std::atomic<size_t> next{0};
    auto worker = [&] {
        oracle::ChildProcess reference;
        std::string error;
        const bool started = oracle::start_child(config.reference_command, reference, error);
        for (size_t i; (i = next++) < reports.size();) {
            if (!started) {
                reports[i].error = "cannot start the reference runner: " + error;
                continue;
            }
            if (reference.to_child < 0) {
                reports[i].error = "the reference runner stopped answering";
                continue;
            }
            check_op(reference, config, reports[i]);
            if (!reports[i].error.empty()) oracle::close_child_pipes(reference);
        }
        if (started) {
            oracle::close_child_pipes(reference);
            oracle::stop_child(reference, false);
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < std::max(1, config.jobs); ++j)
        threads.emplace_back(worker);
    for (std::thread &t : threads)
        t.join();
    return reports;
}

} // namespace ostrel::fpcheck
