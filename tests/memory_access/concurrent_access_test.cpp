// Guarded reads and readability probes from several threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "sve/kernels/guest_memory.h"
#include "tests/memory_access/memory_test_support.h"

using namespace ostrel::testing;

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 3000;

// Each thread reads its own page, whose bytes carry the thread's number, alternating reads that
// fault with reads that succeed; a recovery that jumped to another thread's read, or a value read
// from another thread's page, shows up as a wrong value or flag.
struct Worker {
    int wrong_values = 0, missed_faults = 0, false_faults = 0, wrong_probes = 0;

    void run(const PageBeforeHole &mem, unsigned char tag) {
        uint64_t expected = 0;
        for (int i = 0; i < 8; ++i)
            expected = (expected << 8) | tag;
        const auto inside = reinterpret_cast<uint64_t>(mem.page()) + 64;
        for (int round = 0; round < kRounds; ++round) {
            bool flag = false;
            if (ReadMemLib8(mem.hole() - 1 - round % 7, 0, &flag, nullptr) != 0 || !flag)
                ++missed_faults;
            flag = false;
            const uint64_t v = ReadMemLib8(inside + round % 64, 0, &flag, nullptr);
            if (flag) ++false_faults;
            if (v != expected) ++wrong_values;
            if (round % 8 == 0) {
                if (addr_is_readable<char>(reinterpret_cast<char *>(mem.hole()))) ++wrong_probes;
                if (!addr_is_readable<char>(mem.page())) ++wrong_probes;
            }
        }
    }
};

TEST(ConcurrentAccess, FourThreadsOfGuardedReadsAndProbes) {
    std::vector<std::unique_ptr<PageBeforeHole>> pages;
    std::vector<Worker> workers(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        pages.push_back(std::make_unique<PageBeforeHole>());
        std::memset(pages.back()->page(), 0x10 + t, pages.back()->bytes());
    }
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            // Start together so that the reads really overlap.
            ++ready;
            while (ready < kThreads) {
            }
            workers[t].run(*pages[t], static_cast<unsigned char>(0x10 + t));
        });
    for (std::thread &th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(workers[t].wrong_values, 0);
        EXPECT_EQ(workers[t].missed_faults, 0);
        EXPECT_EQ(workers[t].false_faults, 0);
        EXPECT_EQ(workers[t].wrong_probes, 0);
    }
    // However the probes' swaps interleaved, the process handler is what remains.
    EXPECT_TRUE(fault_handler_installed(SIGSEGV));
    EXPECT_TRUE(fault_handler_installed(SIGBUS));
}

} // namespace
