// The guest-instruction counter on a loop whose instructions are known.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/bench/programs/counted_loop.h"
#include "tests/support/run_program.h"

namespace {

using ostrel::testing::ProgramResult;
using ostrel::testing::run_program;

bool exists(const char *path) {
    return access(path, R_OK) == 0;
}

// A block line of the blocks= file.
struct Block {
    unsigned long long address, instructions, executions;
};

// Guest instructions of one counted run, or -1 with the failure recorded; with `blocks`, also
// the run's blocks.
long long count_run(const std::string &cpu, const std::string &program,
                    const std::vector<std::string> &args, std::vector<Block> *blocks = nullptr) {
    char out_path[] = "/tmp/ostrel-count-XXXXXX";
    char blocks_path[] = "/tmp/ostrel-blocks-XXXXXX";
    close(mkstemp(out_path));
    close(mkstemp(blocks_path));
    std::string plugin = std::string("file=") + OSTREL_QEMU_COUNT_PLUGIN + ",out=" + out_path;
    if (blocks) plugin += std::string(",blocks=") + blocks_path;
    std::vector<std::string> words = {"-cpu",    cpu,    "-L",   OSTREL_SYSROOT,
                                      "-plugin", plugin, program};
    words.insert(words.end(), args.begin(), args.end());
    const ProgramResult r = run_program("qemu-aarch64", words);
    std::ifstream in(out_path);
    std::string line;
    std::getline(in, line);
    std::remove(out_path);
    std::ifstream block_lines(blocks_path);
    for (Block b; blocks && block_lines >> std::hex >> b.address >> std::dec >> b.instructions >>
                                b.executions;)
        blocks->push_back(b);
    std::remove(blocks_path);
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

TEST(QemuCount, BlocksAccountForTheWholeCountAndFindTheLoop) {
    if (!exists(OSTREL_COUNTED_LOOP)) GTEST_SKIP() << OSTREL_COUNTED_LOOP << " is not built";
    for (unsigned long iterations : {1ul, 777ul}) {
        SCOPED_TRACE(iterations);
        std::vector<Block> blocks;
        const long long total =
            count_run("neoverse-n1", OSTREL_COUNTED_LOOP, {std::to_string(iterations)}, &blocks);
        long long sum = 0;
        unsigned long loop_executions = 0;
        for (const Block &b : blocks) {
            sum += static_cast<long long>(b.instructions * b.executions);
            if (b.instructions == COUNTED_LOOP_PER_ITERATION) loop_executions += b.executions;
        }
        EXPECT_EQ(sum, total);
        EXPECT_EQ(loop_executions, iterations);
        for (std::size_t i = 1; i < blocks.size(); ++i) // one line per block, in address order
            EXPECT_LT(blocks[i - 1].address, blocks[i].address);
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

} // namespace
