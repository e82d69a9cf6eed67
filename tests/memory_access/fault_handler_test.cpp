// What the program's load-time set-up leaves in place, and SVEInitialize's single installation.
#include <gtest/gtest.h>

#include <unistd.h>

#include "sve/kernels/guest_memory.h"
#include "tests/memory_access/memory_test_support.h"

using namespace ostrel::testing;

namespace {

TEST(LoadTimeSetUp, HandlerIsInstalledForSegvAndBusBeforeMain) {
    EXPECT_TRUE(fault_handler_installed(SIGSEGV));
    EXPECT_TRUE(fault_handler_installed(SIGBUS));
    EXPECT_EQ(SVELibInitialized, 1);
}

TEST(LoadTimeSetUp, PageSizeAndProcessContext) {
    EXPECT_EQ(page_size, static_cast<uint32_t>(sysconf(_SC_PAGESIZE)));
    EXPECT_EQ(ctxt, &cpu_ctxt);
    EXPECT_EQ(cpu_ctxt.vl, 2u);
}

void stand_in_handler(int, siginfo_t *, void *) {}

TEST(SVEInitialize, SecondCallInstallsNothing) {
    // Replace the handler, then call again: an installation would put SVESigHandler back.
    struct sigaction other = {}, saved_segv, saved_bus;
    other.sa_sigaction = stand_in_handler;
    other.sa_flags = SA_SIGINFO;
    sigemptyset(&other.sa_mask);
    sigaction(SIGSEGV, &other, &saved_segv);
    sigaction(SIGBUS, &other, &saved_bus);
    cpu_ctxt.vl = 7;

    const int first = SVEInitialize();
    const int second = SVEInitialize();

    struct sigaction segv_now, bus_now;
    sigaction(SIGSEGV, &saved_segv, &segv_now);
    sigaction(SIGBUS, &saved_bus, &bus_now);
    const uint32_t vl_now = cpu_ctxt.vl;
    cpu_ctxt.vl = 2;

    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(segv_now.sa_sigaction, stand_in_handler);
    EXPECT_EQ(bus_now.sa_sigaction, stand_in_handler);
    EXPECT_EQ(vl_now, 7u) << "the context is set up once";
    EXPECT_TRUE(fault_handler_installed(SIGSEGV));
}

} // namespace
