// The instrumentation pass keeps a prefix of each block within the code-cache budget. Every build
// of a block (first build, trace, translation) must keep the same prefix, and the framework may
// hand the pass a block it already ended early: keeping a prefix again must keep all of it.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "sve/client/block_budget.h"

namespace {

using ostrel::client::BlockBudget;
using ostrel::client::emulation_bytes;
using ostrel::client::kBlockBudgetBytes;
using ostrel::client::kMirroredFpcrWriteBytes;
using ostrel::client::kNativeInstructionBytes;

std::size_t kept(const std::vector<std::size_t> &costs) {
    BlockBudget budget;
    std::size_t n = 0;
    while (n < costs.size() && budget.admit(costs[n]))
        ++n;
    return n;
}

// A typical emulation sequence, and a long one (a four-register structure access with SP).
constexpr std::size_t E = emulation_bytes(30);
constexpr std::size_t L = emulation_bytes(60);
constexpr std::size_t N = kNativeInstructionBytes;
constexpr std::size_t F = kMirroredFpcrWriteBytes;

struct BlockCase {
    const char *what;
    std::vector<std::size_t> costs;
    std::size_t expected_kept;
};

std::vector<std::size_t> repeat(std::size_t cost, std::size_t times) {
    return std::vector<std::size_t>(times, cost);
}

std::vector<std::size_t> interleave(std::size_t pairs) {
    std::vector<std::size_t> costs;
    for (std::size_t i = 0; i < pairs; ++i)
        costs.insert(costs.end(), {N, E});
    return costs;
}

class BlockBudgetCases : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockBudgetCases, KeepsALongestFittingPrefixAndKeepsItAgain) {
    const BlockCase &c = GetParam();
    const std::size_t first = kept(c.costs);
    EXPECT_EQ(first, c.expected_kept) << c.what;
    const std::vector<std::size_t> prefix(c.costs.begin(), c.costs.begin() + first);
    EXPECT_EQ(kept(prefix), first) << c.what << ": a rebuilt block must not shrink again";
    std::size_t bytes = 0;
    for (std::size_t cost : prefix)
        bytes += cost;
    if (first > 1) {
        EXPECT_LE(bytes, kBlockBudgetBytes) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, BlockBudgetCases,
    ::testing::Values(
        BlockCase{"one SVE instruction", repeat(E, 1), 1},
        BlockCase{"2000 SVE instructions", repeat(E, 2000), kBlockBudgetBytes / E},
        BlockCase{"exactly the budget", repeat(N, kBlockBudgetBytes / N), kBlockBudgetBytes / N},
        BlockCase{"one past the budget", repeat(N, kBlockBudgetBytes / N + 1),
                  kBlockBudgetBytes / N},
        BlockCase{"native and SVE alternating", interleave(100),
                  2 * (kBlockBudgetBytes / (N + E)) + (kBlockBudgetBytes % (N + E) >= N)},
        BlockCase{"FPCR writes", repeat(F, 1000), kBlockBudgetBytes / F},
        BlockCase{"long sequences", repeat(L, 1000), kBlockBudgetBytes / L},
        BlockCase{
            "an instruction above the budget still forms a block", {kBlockBudgetBytes + 1, N}, 1}));

} // namespace
