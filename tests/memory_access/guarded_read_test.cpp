// Guarded reads: values, faults on either end of the access, and the caller's flag.
#include <gtest/gtest.h>

#include <cstring>

#include "sve/kernels/guest_memory.h"
#include "tests/memory_access/memory_test_support.h"

using namespace ostrel::testing;

namespace {

using Reader = uint64_t (*)(uint64_t, int, bool *, CpuContext *);
struct Width {
    Reader read;
    unsigned bytes;
    const char *name;
};
const Width kWidths[] = {{ReadMemLib1, 1, "ReadMemLib1"},
                         {ReadMemLib2, 2, "ReadMemLib2"},
                         {ReadMemLib4, 4, "ReadMemLib4"},
                         {ReadMemLib8, 8, "ReadMemLib8"}};

// Bytes 0x11, 0x22, ... from `at`; the little-endian value of the first `bytes` of them.
uint64_t fill_pattern(char *at, unsigned bytes) {
    uint64_t value = 0;
    for (unsigned i = 0; i < 8; ++i)
        at[i] = static_cast<char>(0x11 * (i + 1));
    for (unsigned i = 0; i < bytes; ++i)
        value |= uint64_t{0x11u * (i + 1)} << (8 * i);
    return value;
}

TEST(GuardedRead, ReadsLittleEndianZeroExtendedWithAndWithoutFlag) {
    PageBeforeHole mem;
    for (const Width &w : kWidths) {
        SCOPED_TRACE(w.name);
        char *at = mem.page() + 101; // unaligned on purpose
        const uint64_t expected = fill_pattern(at, w.bytes);
        const auto address = reinterpret_cast<uint64_t>(at);
        EXPECT_EQ(w.read(address, 0, nullptr, nullptr), expected);
        for (bool before : {false, true}) {
            bool flag = before;
            EXPECT_EQ(w.read(address, 3, &flag, &cpu_ctxt), expected);
            EXPECT_EQ(flag, before) << "a successful read must not write the flag";
        }
    }
}

TEST(GuardedRead, AccessEndingExactlyAtTheHoleSucceeds) {
    PageBeforeHole mem;
    for (const Width &w : kWidths) {
        SCOPED_TRACE(w.name);
        const uint64_t address = mem.hole() - w.bytes;
        fill_pattern(reinterpret_cast<char *>(mem.hole() - 8), 8); // 11 22 .. 88 up to the hole
        const uint64_t expected = 0x8877665544332211ull >> (8 * (8 - w.bytes));
        bool flag = false;
        EXPECT_EQ(w.read(address, 0, &flag, nullptr), expected);
        EXPECT_FALSE(flag);
    }
}

TEST(GuardedRead, LastByteOnAnInaccessiblePageFaults) {
    for (Hole hole : {Hole::NoAccess, Hole::Unmapped}) {
        PageBeforeHole mem(1, hole);
        std::memset(mem.page(), 0x5a, mem.bytes());
        for (const Width &w : kWidths) {
            // Every start that leaves the first byte readable but not the last.
            for (unsigned inside = 1; inside < w.bytes; ++inside) {
                SCOPED_TRACE(std::string(w.name) +
                             " with bytes in the page: " + std::to_string(inside));
                bool flag = false;
                EXPECT_EQ(w.read(mem.hole() - inside, 0, &flag, nullptr), 0u);
                EXPECT_TRUE(flag);
            }
        }
    }
}

TEST(GuardedRead, FirstByteOnAnInaccessiblePageFaults) {
    for (Hole hole : {Hole::NoAccess, Hole::Unmapped}) {
        PageBeforeHole mem(1, hole);
        for (const Width &w : kWidths) {
            SCOPED_TRACE(w.name);
            for (uint64_t offset : {uint64_t{0}, uint64_t{1}, uint64_t{mem.bytes() - 8}}) {
                bool flag = false;
                EXPECT_EQ(w.read(mem.hole() + offset, 0, &flag, nullptr), 0u);
                EXPECT_TRUE(flag);
            }
        }
    }
}

TEST(GuardedRead, BusErrorIsRecoveredToo) {
    PastEndOfFile mapping;
    for (const Width &w : kWidths) {
        SCOPED_TRACE(w.name);
        bool flag = false;
        EXPECT_EQ(w.read(mapping.address(), 0, &flag, nullptr), 0u);
        EXPECT_TRUE(flag);
    }
}

TEST(GuardedRead, RegionIsClosedAfterSuccessAndAfterFault) {
    PageBeforeHole mem;
    bool flag = false;
    ReadMemLib4(reinterpret_cast<uint64_t>(mem.page()), 0, &flag, nullptr);
    EXPECT_EQ(SVEFaultRegion, 0);
    ReadMemLib4(mem.hole() - 2, 0, &flag, nullptr);
    EXPECT_TRUE(flag);
    EXPECT_EQ(SVEFaultRegion, 0);
}

TEST(GuardedRead, ReadsAfterAFaultWorkNormally) {
    // The jump target of one read must not leak into the next: alternate faults and successes.
    PageBeforeHole mem;
    const uint64_t value = fill_pattern(mem.page() + 8, 8);
    for (int i = 0; i < 50; ++i) {
        bool flag = false;
        EXPECT_EQ(ReadMemLib8(mem.hole() - 3, 0, &flag, nullptr), 0u);
        EXPECT_TRUE(flag);
        flag = false;
        EXPECT_EQ(ReadMemLib8(reinterpret_cast<uint64_t>(mem.page() + 8), 0, &flag, nullptr),
                  value);
        EXPECT_FALSE(flag);
    }
}

TEST(GuardedRead, FaultKeepsTheSignalMaskOfTheCaller) {
    // The jump back restores the mask saved on entry; a fault must not leave SIGSEGV blocked.
    PageBeforeHole mem;
    bool flag = false;
    ReadMemLib8(mem.hole(), 0, &flag, nullptr);
    ASSERT_TRUE(flag);
    sigset_t now;
    sigprocmask(SIG_BLOCK, nullptr, &now);
    EXPECT_FALSE(sigismember(&now, SIGSEGV));
    EXPECT_FALSE(sigismember(&now, SIGBUS));
}

} // namespace
