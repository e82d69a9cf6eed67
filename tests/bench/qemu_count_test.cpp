// The guest-instruction counter on a loop whose instructions are known, and the benchmark's guest
// program under QEMU's SVE: every class's loop runs from its image without a fault.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/side_by_side/table.h"
#include "tests/bench/programs/counted_loop.h"
#include "tests/support/run_program.h"

namespace {

using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;

bool exists(const char *path) {
    return access(path, R_OK) == 0;
}

// Guest instructions of one counted run, or -1 with the failure recorded.
long long count_run(const std::string &cpu, const std::string &program,
                    const std::vector<std::string> &args) {
    char out_path[] = "/tmp/ostrel-count-XXXXXX";
    const int fd = mkstemp(out_path);
    close(fd);
    std::vector<std::string> words = {
        "-cpu",    cpu,
        "-L",      OSTREL_SYSROOT,
        "-plugin", std::string("file=") + OSTREL_QEMU_COUNT_PLUGIN + ",out=" + out_path,
        program};
    words.insert(words.end(), args.begin(), args.end());
    const ProgramResult r = run_program("qemu-aarch64", words);
    std::ifstream in(out_path);
    std::string line;
    std::getline(in, line);
    std::remove(out_path);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    long long count = -1;
    if (std::sscanf(line.c_str(), "guest instructions: %lld", &count) != 1)
        ADD_FAILURE() << "no count in \"" << line << "\"; stderr: " << r.err;
    return count;
}

TEST(QemuCount, CountsEveryInstructionOfAKnownLoop) {
    if (!exists(OSTREL_COUNTED_LOOP)) GTEST_SKIP() << OSTREL_COUNTED_LOOP << " is not built";
    // Start-up and exit are alike in every run; the runs differ by whole loop iterations.
    const struct {
        unsigned long short_run, long_run;
    } cases[] = {{1, 1001}, {10, 20010}, {1000, 51000}};
    for (const auto &c : cases) {
        const long long a =
            count_run("neoverse-n1", OSTREL_COUNTED_LOOP, {std::to_string(c.short_run)});
        const long long b =
            count_run("neoverse-n1", OSTREL_COUNTED_LOOP, {std::to_string(c.long_run)});
        const long long expected =
            static_cast<long long>(c.long_run - c.short_run) * COUNTED_LOOP_PER_ITERATION;
        // Only parsing the longer argument may cost a few more instructions.
        EXPECT_NEAR(static_cast<double>(b - a), static_cast<double>(expected), 64)
            << c.short_run << " and " << c.long_run << " iterations";
        // Start-up alone is far more than nothing: the count covers the whole run.
        EXPECT_GT(a, 10000);
    }
}

TEST(QemuCount, RefusesAnArgumentItDoesNotKnow) {
    if (!exists(OSTREL_COUNTED_LOOP)) GTEST_SKIP() << OSTREL_COUNTED_LOOP << " is not built";
    const ProgramResult r =
        run_program("qemu-aarch64", {"-cpu", "neoverse-n1", "-L", OSTREL_SYSROOT, "-plugin",
                                     std::string("file=") + OSTREL_QEMU_COUNT_PLUGIN + ",inline=on",
                                     OSTREL_COUNTED_LOOP, "1"});
    EXPECT_NE(r.exit_status, 0);
}

// The guest loops as the benchmark times them: each class and NOP from the class's image, at the
// vector length the image is laid out for. A wrong pointer or index in the setup faults here.
TEST(SveWords, EveryLoopRunsUnderQemuSve) {
    if (!exists(OSTREL_SVE_WORDS)) GTEST_SKIP() << OSTREL_SVE_WORDS << " is not built";
    for (const auto &c : ostrel::bench::kBenchClasses) {
        for (const bool nop : {false, true}) {
            std::vector<std::string> args = {"-cpu",
                                             "max,sve-default-vector-length=192",
                                             "-L",
                                             OSTREL_SYSROOT,
                                             OSTREL_SVE_WORDS,
                                             "run",
                                             c.id,
                                             "3"};
            if (nop) args.push_back("nop");
            const ProgramResult r = run_program("qemu-aarch64", args);
            EXPECT_EQ(r.exit_status, 0) << c.id << ": " << r.err;
            const std::string said = std::string(c.id) + (nop ? " (nop)" : "") + ": 3 iterations";
            EXPECT_NE(r.out.find(said), std::string::npos) << r.out;
        }
    }
}

// With SVE in the processor an instruction of a class is one guest instruction, as a NOP is, so
// the client's measure (the two lengths of the class's runs minus those of the NOP runs) must come
// to nothing beyond the NOP here: whatever else differs between the runs happens once per run.
TEST(SveWords, TwoLengthMeasureIsZeroWithSve) {
    if (!exists(OSTREL_SVE_WORDS)) GTEST_SKIP() << OSTREL_SVE_WORDS << " is not built";
    const std::string cpu = "max,sve-default-vector-length=192";
    const unsigned long short_run = 20, long_run = 70;
    const auto run = [&](const char *id, unsigned long iterations, bool nop) {
        std::vector<std::string> args = {"run", id, std::to_string(iterations)};
        if (nop) args.push_back("nop");
        return static_cast<double>(count_run(cpu, OSTREL_SVE_WORDS, args));
    };
    for (const char *id : {"add", "ld1d", "fsqrt_d"}) {
        const ostrel::bench::ClientCounts counts = {
            run(id, short_run, false), run(id, long_run, false), run(id, short_run, true),
            run(id, long_run, true)};
        EXPECT_GT(counts.class_long - counts.class_short,
                  (long_run - short_run) * OSTREL_BENCH_COPIES);
        EXPECT_NEAR(ostrel::bench::guest_instructions_per_emulated(counts, short_run, long_run), 0,
                    0.01)
            << id;
    }
}

} // namespace
