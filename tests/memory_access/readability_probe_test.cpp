// addr_is_readable<char>: its answers, the dispositions around it, and whose faults it takes.
#include <gtest/gtest.h>

#include <sys/mman.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "sve/kernels/guest_memory.h"
#include "sve/kernels/host_signal_context.h"
#include "tests/memory_access/memory_test_support.h"

using namespace ostrel::testing;

namespace {

char *at(uint64_t address) {
    return reinterpret_cast<char *>(address);
}

const char kReadOnly[] = "constant";

TEST(ReadabilityProbe, AnswersForReadableAndInaccessibleAddresses) {
    PageBeforeHole no_access(1, Hole::NoAccess);
    PageBeforeHole unmapped(1, Hole::Unmapped);
    char on_stack = 1;
    struct Case {
        const char *what;
        volatile char *address;
        bool readable;
    };
    const Case cases[] = {
        {"stack", &on_stack, true},
        {"read-only data", const_cast<char *>(kReadOnly), true},
        {"last byte before a hole", at(no_access.hole() - 1), true},
        {"first byte of a no-access page", at(no_access.hole()), false},
        {"last byte of a no-access page", at(no_access.hole() + no_access.bytes() - 1), false},
        {"unmapped page", at(unmapped.hole() + 17), false},
        {"null", nullptr, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(addr_is_readable<char>(c.address), c.readable);
        EXPECT_TRUE(fault_handler_installed(SIGSEGV)) << "the probe must put the handler back";
        EXPECT_TRUE(fault_handler_installed(SIGBUS));
    }
}

TEST(ReadabilityProbe, EachAnswerStandsOnItsOwn) {
    // A failed probe must not make the next one fail, nor a success hide the next failure.
    PageBeforeHole mem;
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(addr_is_readable<char>(at(mem.hole())));
        EXPECT_TRUE(addr_is_readable<char>(mem.page()));
    }
}

TEST(ReadabilityProbe, WriteOnlyAccessDoesNotCountAsReadable) {
    PageBeforeHole mem;
    mprotect(mem.page(), mem.bytes(), PROT_READ);
    EXPECT_TRUE(addr_is_readable<char>(mem.page()));
    mprotect(mem.page(), mem.bytes(), PROT_NONE);
    EXPECT_FALSE(addr_is_readable<char>(mem.page()));
}

void stand_in_handler(int, siginfo_t *, void *) {}

TEST(ReadabilityProbe, PutsBackWhateverDispositionItFound) {
    struct sigaction other = {}, saved, now;
    other.sa_sigaction = stand_in_handler;
    other.sa_flags = SA_SIGINFO;
    sigemptyset(&other.sa_mask);
    sigaction(SIGSEGV, &other, &saved);
    PageBeforeHole mem;
    const bool readable = addr_is_readable<char>(at(mem.hole()));
    sigaction(SIGSEGV, &saved, &now);
    EXPECT_FALSE(readable);
    EXPECT_EQ(now.sa_sigaction, stand_in_handler);
}

TEST(ReadabilityProbe, ProbeFaultIsRecognisedEvenUnderTheProcessHandler) {
    // A probe on another thread may already have put SVESigHandler back when this probe's load
    // runs. Run the bare probe load under SVESigHandler: it must come back, not end the process.
    const ChildOutcome child = run_in_child([] {
        PageBeforeHole mem;
        ostrel::host::probe_byte(at(mem.hole()));
        std::fputs("returned\n", stderr);
    });
    EXPECT_FALSE(child.signaled) << child.err;
    EXPECT_EQ(child.err, "returned\n");
}

TEST(ReadabilityProbe, BusErrorDuringTheProbeGoesToTheProcessHandler) {
    const ChildOutcome child = run_in_child([] {
        PastEndOfFile mapping;
        addr_is_readable<char>(at(mapping.address()));
    });
    EXPECT_TRUE(child.signaled);
    EXPECT_EQ(child.signal, SIGBUS);
    EXPECT_EQ(child.err.substr(0, unrecovered_fault_line("SIGBUS").size()),
              unrecovered_fault_line("SIGBUS"));
}

TEST(ReadabilityProbe, AnotherThreadsFaultIsNotTakenForTheProbe) {
    // While one thread keeps probing, another faults outside any probe. The temporary handler
    // must not mark and skip that fault: the process ends with the report.
    const ChildOutcome child = run_in_child([] {
        PageBeforeHole mem;
        std::atomic<bool> started{false};
        std::thread prober([&] {
            for (;;) {
                addr_is_readable<char>(at(mem.hole()));
                started = true;
            }
        });
        prober.detach();
        while (!started) {
        }
        for (int i = 0; i < 1000; ++i)
            *reinterpret_cast<volatile char *>(mem.hole() + 8);
        std::fputs("survived the fault\n", stderr);
    });
    EXPECT_TRUE(child.signaled) << child.err;
    EXPECT_EQ(child.signal, SIGSEGV);
    EXPECT_EQ(child.err.find("survived"), std::string::npos);
}

TEST(ClaimProbeFault, OnlyASegvAtTheProbeLoadIsClaimed) {
    ucontext_t uc = {};
    struct Case {
        int sig;
        uintptr_t pc;
        bool claimed;
    };
    const uintptr_t load = ostrel::host::probe_load_address();
    const Case cases[] = {{SIGSEGV, load, true},
                          {SIGBUS, load, false},
                          {SIGSEGV, load + 1, false},
                          {SIGSEGV, load - 1, false},
                          {SIGSEGV, 0, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pc - load);
        uc = {};
#if defined(__x86_64__)
        uc.uc_mcontext.gregs[REG_RIP] = static_cast<greg_t>(c.pc);
#else
        uc.uc_mcontext.pc = c.pc;
#endif
        EXPECT_EQ(ostrel::claim_probe_fault(c.sig, &uc), c.claimed);
        EXPECT_EQ(ostrel::host::context_pc(&uc) != c.pc, c.claimed);
    }
}

} // namespace
