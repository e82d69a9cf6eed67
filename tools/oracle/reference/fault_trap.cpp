#include "tools/oracle/reference/fault_trap.h"

#include <setjmp.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ostrel::oracle::reference {
namespace {

// The signal frame holds the whole vector state (32 Z registers of up to 256 bytes and more),
// well beyond MINSIGSTKSZ.
constexpr std::size_t kAltStackBytes = 256 * 1024;
alignas(16) unsigned char g_alt_stack[kAltStackBytes];

sigjmp_buf g_resume;
volatile sig_atomic_t g_armed = 0;
volatile uint64_t g_instruction = 0;
volatile int g_signal = 0;
volatile uint64_t g_address = 0;

// Async-signal-safe: no stdio here.
void write_hex(char *out, uint64_t value) {
    for (int i = 15; i >= 0; --i, value >>= 4)
        out[i] = "0123456789abcdef"[value & 0xf];
}

[[noreturn]] void report_internal_fault(int sig, uint64_t pc, uint64_t address) {
    char line[] = "ostrel-oracle-ref: signal    at pc 0x................ address 0x................"
                  " outside the case's instruction\n";
    line[26] = static_cast<char>('0' + sig / 10);
    line[27] = static_cast<char>('0' + sig % 10);
    write_hex(line + 37, pc);
    write_hex(line + 64, address);
    [[maybe_unused]] ssize_t n = write(STDERR_FILENO, line, sizeof line - 1);
    _exit(kInternalFaultExit);
}

void on_trap(int sig, siginfo_t *info, void *context) {
    const uint64_t pc = static_cast<ucontext_t *>(context)->uc_mcontext.pc;
    const uint64_t address = reinterpret_cast<uint64_t>(info->si_addr);
    if (!g_armed || pc != g_instruction) report_internal_fault(sig, pc, address);
    g_armed = 0;
    g_signal = sig;
    g_address = sig == SIGILL ? 0 : address;
    siglongjmp(g_resume, 1);
}

} // namespace

bool install_fault_traps(std::string &error) {
    stack_t stack{};
    stack.ss_sp = g_alt_stack;
    stack.ss_size = sizeof g_alt_stack;
    if (sigaltstack(&stack, nullptr) != 0) {
        error = std::string("sigaltstack: ") + std::strerror(errno);
        return false;
    }
    struct sigaction action {};
    action.sa_sigaction = on_trap;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGILL, SIGSEGV, SIGBUS}) {
        if (sigaction(sig, &action, nullptr) != 0) {
            error = std::string("sigaction: ") + std::strerror(errno);
            return false;
        }
    }
    return true;
}

Trap run_trapped(void (*entry)(), uint64_t instruction) {
    g_instruction = instruction;
    // Saving the signal mask makes the jump out of the handler unblock the signal again.
    if (sigsetjmp(g_resume, 1) == 0) {
        g_armed = 1;
        entry();
        g_armed = 0;
        return {0, 0};
    }
    return {g_signal, g_address};
}

} // namespace ostrel::oracle::reference
