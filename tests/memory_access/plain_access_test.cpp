// Plain reads and writes, the inert entry points, and what happens when a plain access faults.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "sve/kernels/guest_memory.h"
#include "tests/memory_access/memory_test_support.h"
#include "tests/support/register_file.h"

using namespace ostrel::testing;

namespace {

using Reader = uint64_t (*)(uint64_t, int, bool *, CpuContext *);
const Reader kReaders[] = {ReadMemLib1, ReadMemLib2, ReadMemLib4, ReadMemLib8};

TEST(PlainWrite, EachWidthStoresExactlyItsBytesLittleEndian) {
    struct Case {
        unsigned bytes;
        void (*write)(uint64_t address);
        unsigned char expect[8];
    };
    const Case cases[] = {
        {1, [](uint64_t a) { WriteMemLib1(0xa1, a, nullptr); }, {0xa1}},
        {2, [](uint64_t a) { WriteMemLib2(0xb2a1, a, nullptr); }, {0xa1, 0xb2}},
        {4, [](uint64_t a) { WriteMemLib4(0xd4c3b2a1u, a, nullptr); }, {0xa1, 0xb2, 0xc3, 0xd4}},
        {8,
         [](uint64_t a) { WriteMemLib8(0x0807060504030201ul, a, &cpu_ctxt); },
         {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        unsigned char buf[24];
        std::memset(buf, 0xee, sizeof buf);
        c.write(reinterpret_cast<uint64_t>(buf + 7));
        for (unsigned i = 0; i < sizeof buf; ++i) {
            const bool inside = i >= 7 && i < 7 + c.bytes;
            EXPECT_EQ(buf[i], inside ? c.expect[i - 7] : 0xee) << "byte " << i;
        }
    }
}

TEST(PlainWrite, WrittenValuesReadBack) {
    PageBeforeHole mem;
    const uint64_t a = mem.hole() - 8; // ends right at the hole
    WriteMemLib8(0xfedcba9876543210ul, a, nullptr);
    EXPECT_EQ(ReadMemLib8(a, 0, nullptr, nullptr), 0xfedcba9876543210ul);
    WriteMemLib2(0x1234, a + 6, nullptr);
    EXPECT_EQ(ReadMemLib8(a, 0, nullptr, nullptr), 0x1234ba9876543210ul);
    EXPECT_EQ(ReadMemLib1(a + 7, 0, nullptr, nullptr), 0x12u);
}

TEST(InertEntryPoints, ReadsClearTheFlagAndTouchNoMemory) {
    PageBeforeHole mem;
    // The address is inaccessible: a read of it would fault.
    bool flag = true;
    EXPECT_EQ(ReadMem(mem.hole(), 8, 0, &flag, nullptr), 0u);
    EXPECT_FALSE(flag);
    flag = true;
    EXPECT_EQ(ReadMemSim(mem.hole(), 4, 0, &flag, true, nullptr), 0u);
    EXPECT_FALSE(flag);
}

TEST(InertEntryPoints, WritesDoNothing) {
    PageBeforeHole mem;
    std::memset(mem.page(), 0x33, 16);
    WriteMem(0xffffffffffffffffull, reinterpret_cast<uint64_t>(mem.page()), 8, nullptr);
    WriteMemSim(0xffffffffffffffffull, reinterpret_cast<uint64_t>(mem.page() + 8), 8, true,
                nullptr);
    WriteMem(1, mem.hole(), 8, nullptr); // would fault if it stored anything
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(mem.page()[i], 0x33) << i;
}

// The child must die by `sig` after printing the handler's line exactly once, first.
void expect_unrecovered(const ChildOutcome &child, int sig, const char *name) {
    EXPECT_TRUE(child.signaled) << "exit status " << child.exit_status;
    EXPECT_EQ(child.signal, sig);
    const std::string line = unrecovered_fault_line(name);
    // The cross emulator may add a line of its own about the signal after ours.
    EXPECT_EQ(child.err.substr(0, line.size()), line) << child.err;
    EXPECT_EQ(child.err.find("SVESigHandler", line.size()), std::string::npos) << child.err;
}

TEST(UnguardedFault, PlainReadOfEachWidthEndsTheProcessWithTheMessage) {
    for (Reader read : kReaders) {
        const ChildOutcome child = run_in_child([read] {
            PageBeforeHole mem;
            read(mem.hole(), 0, nullptr, nullptr);
        });
        expect_unrecovered(child, SIGSEGV, "SIGSEGV");
    }
}

TEST(UnguardedFault, PlainReadStraddlingIntoTheHoleEndsTheProcess) {
    const ChildOutcome child = run_in_child([] {
        PageBeforeHole mem(1, Hole::Unmapped);
        ReadMemLib8(mem.hole() - 4, 0, nullptr, nullptr);
    });
    expect_unrecovered(child, SIGSEGV, "SIGSEGV");
}

TEST(UnguardedFault, WriteToReadOnlyMemoryEndsTheProcess) {
    const ChildOutcome child = run_in_child([] {
        PageBeforeHole mem;
        mprotect(mem.page(), mem.bytes(), PROT_READ);
        WriteMemLib4(7, reinterpret_cast<uint64_t>(mem.page()), nullptr);
    });
    expect_unrecovered(child, SIGSEGV, "SIGSEGV");
}

TEST(UnguardedFault, BusErrorIsNamedAsSuch) {
    const ChildOutcome child = run_in_child([] {
        PastEndOfFile mapping;
        ReadMemLib8(mapping.address(), 0, nullptr, nullptr);
    });
    expect_unrecovered(child, SIGBUS, "SIGBUS");
}

TEST(UnguardedFault, AnyOtherFaultOfTheProcessIsReportedToo) {
    const ChildOutcome child = run_in_child([] {
        PageBeforeHole mem;
        *reinterpret_cast<volatile int *>(mem.hole()) = 1;
    });
    expect_unrecovered(child, SIGSEGV, "SIGSEGV");
}

TEST(UnguardedFault, ARegionOpenOnAnotherThreadDoesNotRecoverThisThread) {
    // The recovery state belongs to each thread: another thread's open region must not send this
    // thread's fault to that thread's jump target.
    const ChildOutcome child = run_in_child([] {
        PageBeforeHole mem;
        if (sigsetjmp(sveFaultJB, 1) != 0) {
            std::fputs("recovered into the wrong thread's read\n", stderr);
            _exit(3);
        }
        SVEFaultRegion = 1;
        std::thread([&] { ReadMemLib8(mem.hole(), 0, nullptr, nullptr); }).join();
    });
    expect_unrecovered(child, SIGSEGV, "SIGSEGV");
}

} // namespace

// Contiguous loads and stores touch the memory of active elements only: with no element active
// they may point at the hole, and an access ending right before it completes.
TEST(ContiguousAccess, OnlyActiveElementsTouchMemory) {
    PageBeforeHole mem;
    const struct {
        const char *what;
        uint32_t word; // Zt = z0, Pg = p0, Xn = x1
        bool active;
        unsigned bytes; // of one access
    } rows[] = {
        {"ld1d", 0xa5e0a020, false, 0},   {"st1d", 0xe5e0e020, false, 0},
        {"ld1d", 0xa5e0a020, true, 192},  {"st1d", 0xe5e0e020, true, 192},
        {"ld1b.d", 0xa460a020, true, 24}, {"st1h.s", 0xe4c0e020, true, 96},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        auto s = random_state(r.word);
        std::memset(s->p[0], r.active, sizeof s->p[0]);
        s->x[1] = mem.hole() - r.bytes;
        ASSERT_EQ(emulate(*s, r.word), DECODE_OK);
    }
}
