#include "tools/oracle/engine.h"

#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "sve/client/cpu_state.h"
#include "sve/decode/decode_rows.h"
#include "sve/trace/memtrace.h"
#include "sve/trace/trace_support.h"

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

namespace ostrel::oracle {
namespace {

sigjmp_buf g_fault_jump;
volatile sig_atomic_t g_armed = 0;
volatile uint64_t g_fault_address = 0;
struct sigaction g_previous_segv;
struct sigaction g_previous_bus;
int g_null_fd = -1;

uint8_t *window() {
    return reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(kWindowAddress));
}

void on_fault(int signal, siginfo_t *info, void *context) {
    // A handler installed before ours (the core's, for its guarded reads) gets the first
    // chance: it jumps back into the emulation when the fault was expected.
    const struct sigaction &previous = signal == SIGSEGV ? g_previous_segv : g_previous_bus;
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction) previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
    }
    if (!g_armed) {
        signal == SIGSEGV ? sigaction(SIGSEGV, &g_previous_segv, nullptr)
                          : sigaction(SIGBUS, &g_previous_bus, nullptr);
        return; // the fault repeats under the previous disposition
    }
    g_armed = 0;
    g_fault_address = reinterpret_cast<uintptr_t>(info->si_addr);
    siglongjmp(g_fault_jump, 1);
}

void install_fault_handlers() {
    struct sigaction ours {};
    ours.sa_sigaction = on_fault;
    ours.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&ours.sa_mask);
    sigaction(SIGSEGV, &ours, &g_previous_segv);
    sigaction(SIGBUS, &ours, &g_previous_bus);
}

void restore_fault_handlers() {
    sigaction(SIGSEGV, &g_previous_segv, nullptr);
    sigaction(SIGBUS, &g_previous_bus, nullptr);
}

void load_state(const CaseHeader &h, cpu_state &s) {
    const ArchState &a = h.state;
    std::memset(&s, 0, sizeof s);
    std::memcpy(s.x, a.x, sizeof s.x);
    s.sp = a.sp;
    s.pc = reinterpret_cast<unsigned char *>(static_cast<uintptr_t>(h.pc));
    s.nzcv = a.nzcv;
    s.fpsr = a.fpsr;
    s.fpcr = a.fpcr;
    for (unsigned r = 0; r < 32; ++r)
        std::memcpy(s.z[r], a.z[r], kVectorBytes);
    for (unsigned r = 0; r < kNumPRegs; ++r)
        for (unsigned i = 0; i < kVectorBytes; ++i)
            s.p[r][i] = packed_bit(a.p[r], i);
    for (unsigned i = 0; i < kVectorBytes; ++i)
        s.ffr[i] = packed_bit(a.ffr, i);
}

void store_state(const cpu_state &s, ArchState &a) {
    std::memset(&a, 0, sizeof a);
    std::memcpy(a.x, s.x, sizeof a.x);
    a.sp = s.sp;
    a.nzcv = static_cast<uint32_t>(s.nzcv);
    a.fpsr = s.fpsr;
    a.fpcr = s.fpcr;
    for (unsigned r = 0; r < 32; ++r)
        std::memcpy(a.z[r], s.z[r], kVectorBytes);
    // Only bit 0 of each predicate byte is meaningful.
    for (unsigned r = 0; r < kNumPRegs; ++r)
        for (unsigned i = 0; i < kVectorBytes; ++i)
            set_packed_bit(a.p[r], i, s.p[r][i] & 1);
    for (unsigned i = 0; i < kVectorBytes; ++i)
        set_packed_bit(a.ffr, i, s.ffr[i] & 1);
}

cpu_state g_state; // outside the frame that sigsetjmp saves

// The host FPCR during the handler is the case's FPCR, as the application's own FPCR writes would
// have left it: host-route executors compute under the real register. Elsewhere the host route
// reads the emulated FPCR and nothing needs setting.
#if defined(__aarch64__)
uint64_t read_host_fpcr() {
    uint64_t v;
    __asm__ volatile("mrs %0, fpcr" : "=r"(v));
    return v;
}
void write_host_fpcr(uint64_t v) {
    __asm__ volatile("msr fpcr, %0" : : "r"(v));
}
#else
uint64_t read_host_fpcr() {
    return 0;
}
void write_host_fpcr(uint64_t) {}
#endif

// Runs the handler with faults caught and its standard error discarded.
Outcome call_handler(sve_handler_t handler, uint32_t encoding, uint64_t &fault_address) {
    enable_trace = false;
    std::fflush(stderr);
    const int saved_stderr = dup(STDERR_FILENO);
    dup2(g_null_fd, STDERR_FILENO);
    install_fault_handlers();
    volatile Outcome outcome = Outcome::completed;
    const uint64_t saved_fpcr = read_host_fpcr();
    if (sigsetjmp(g_fault_jump, 1) == 0) {
        g_armed = 1;
        write_host_fpcr(g_state.fpcr);
        const aarch64_decode_rc rc = handler(&g_state, encoding);
        write_host_fpcr(saved_fpcr);
        g_armed = 0;
        outcome = rc == DECODE_OK ? Outcome::completed : Outcome::unimplemented;
    } else {
        write_host_fpcr(saved_fpcr);
        outcome = Outcome::faulted;
        fault_address = g_fault_address;
    }
    restore_fault_handlers();
    std::fflush(stderr);
    dup2(saved_stderr, STDERR_FILENO);
    close(saved_stderr);
    return outcome;
}

} // namespace

bool prepare_engine(std::string &error) {
    const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    void *want = reinterpret_cast<void *>(static_cast<uintptr_t>(kWindowAddress - page));
    const std::size_t span = kWindowBytes + 2 * page;
    void *got =
        mmap(want, span, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (got != want) {
        if (got != MAP_FAILED) munmap(got, span);
        error = "cannot map the case window at its fixed address";
        return false;
    }
    if (mprotect(window(), kWindowBytes, PROT_READ | PROT_WRITE) != 0) {
        error = "cannot make the case window writable";
        return false;
    }
    g_null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (g_null_fd < 0) {
        error = "cannot open /dev/null";
        return false;
    }
    // Closing the trace before it opens makes every later record a no-op.
    sve_exit();
    return true;
}

Result run_engine_case(const Case &c) {
    Result r;
    r.header.magic = kResultMagic;
    r.header.memory_bytes = c.header.memory_bytes;
    if (!c.memory.empty()) std::memcpy(window(), c.memory.data(), c.memory.size());
    load_state(c.header, g_state);

    const uint32_t encoding = c.header.encoding;
    const sve_handler_t handler = get_sve_handler(encoding);
    uint64_t fault_address = 0;
    r.header.outcome =
        handler ? call_handler(handler, encoding, fault_address) : Outcome::no_handler;
    r.header.fault_address = fault_address;
    store_state(g_state, r.header.state);
    if (!c.memory.empty()) r.memory.assign(window(), window() + c.memory.size());
    return r;
}

} // namespace ostrel::oracle
