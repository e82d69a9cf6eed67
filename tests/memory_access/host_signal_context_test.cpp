// The host layer of the probe: reading through it, and stepping a context over its load.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include "sve/kernels/host_signal_context.h"

namespace {

using namespace ostrel::host;

void set_pc(ucontext_t &uc, uintptr_t pc) {
#if defined(__x86_64__)
    uc.uc_mcontext.gregs[REG_RIP] = static_cast<greg_t>(pc);
#else
    uc.uc_mcontext.pc = pc;
#endif
}

// Length of the probe's load: one A64 instruction; on x86-64 a movzbl from (%rdi), 0f b6 07.
#if defined(__x86_64__)
constexpr uintptr_t kLoadLength = 3;
#else
constexpr uintptr_t kLoadLength = 4;
#endif

TEST(HostSignalContext, ProbeReadsTheByte) {
    const char bytes[] = {0x00, 0x7f, static_cast<char>(0x80), static_cast<char>(0xff)};
    for (char b : bytes) {
        volatile char cell = b;
        EXPECT_EQ(probe_byte(&cell), static_cast<uint8_t>(b));
    }
}

TEST(HostSignalContext, ContextAtTheLoadIsMovedPastIt) {
    ucontext_t uc = {};
    set_pc(uc, probe_load_address());
    EXPECT_EQ(context_pc(&uc), probe_load_address());
    EXPECT_TRUE(skip_probe_load(&uc));
    EXPECT_EQ(context_pc(&uc), probe_load_address() + kLoadLength);
    // Once moved, the context is no longer at the load.
    EXPECT_FALSE(skip_probe_load(&uc));
    EXPECT_EQ(context_pc(&uc), probe_load_address() + kLoadLength);
}

TEST(HostSignalContext, OtherContextsAreLeftAlone) {
    const uintptr_t load = probe_load_address();
    for (uintptr_t pc : {load - 4, load - 1, load + 1, load + 4, uintptr_t{0x1000}}) {
        ucontext_t uc = {};
        set_pc(uc, pc);
        EXPECT_FALSE(skip_probe_load(&uc));
        EXPECT_EQ(context_pc(&uc), pc);
    }
}

volatile int handler_calls = 0;

void skipping_handler(int, siginfo_t *, void *ucontext) {
    ++handler_calls;
    if (!skip_probe_load(ucontext)) _exit(5); // a fault the layer did not recognise
}

TEST(HostSignalContext, RealFaultOfTheProbeIsRecognisedAndSkipped) {
    const auto *page =
        static_cast<char *>(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(page, MAP_FAILED);
    struct sigaction action = {}, saved;
    action.sa_sigaction = skipping_handler;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, &saved);
    probe_byte(page + 5);
    probe_byte(page);
    sigaction(SIGSEGV, &saved, nullptr);
    munmap(const_cast<char *>(page), 4096);
    EXPECT_EQ(handler_calls, 2);
}

} // namespace
