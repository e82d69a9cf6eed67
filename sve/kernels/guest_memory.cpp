#include "sve/kernels/guest_memory.h"

#include <cstring>

#include "sve/kernels/host_signal_context.h"

namespace {

// Set by a failed readability probe on this thread.
thread_local volatile bool access_violation = false;

template <typename T> uint64_t plain_load(uint64_t address) {
    T value;
    std::memcpy(&value, reinterpret_cast<const void *>(address), sizeof value);
    return value;
}

template <typename T> void plain_store(T value, uint64_t address) {
    std::memcpy(reinterpret_cast<void *>(address), &value, sizeof value);
}

template <typename T> uint64_t read_guest(uint64_t address, bool *fault) {
    if (!fault) return plain_load<T>(address);
    T value;
    if (!ostrel::guarded_guest_read(address, &value, sizeof value)) {
        *fault = true;
        return 0;
    }
    return value;
}

// SIGSEGV while addr_is_readable's probe runs. Faults of other code, on this or another thread,
// are not the probe's business and go to the process's fault handler.
void probe_fault_handler(int sig, siginfo_t *info, void *ucontext) {
    if (ostrel::claim_probe_fault(sig, ucontext)) return;
    SVESigHandler(sig, info, ucontext);
}

} // namespace

uint64_t ReadMemLib1(uint64_t address, int, bool *fault, CpuContext *) {
    return read_guest<uint8_t>(address, fault);
}
uint64_t ReadMemLib2(uint64_t address, int, bool *fault, CpuContext *) {
    return read_guest<uint16_t>(address, fault);
}
uint64_t ReadMemLib4(uint64_t address, int, bool *fault, CpuContext *) {
    return read_guest<uint32_t>(address, fault);
}
uint64_t ReadMemLib8(uint64_t address, int, bool *fault, CpuContext *) {
    return read_guest<uint64_t>(address, fault);
}

void WriteMemLib1(unsigned char value, uint64_t address, CpuContext *) {
    plain_store(value, address);
}
void WriteMemLib2(unsigned short value, uint64_t address, CpuContext *) {
    plain_store(value, address);
}
void WriteMemLib4(unsigned int value, uint64_t address, CpuContext *) {
    plain_store(value, address);
}
void WriteMemLib8(unsigned long value, uint64_t address, CpuContext *) {
    plain_store(value, address);
}

uint64_t ReadMem(uint64_t, int, int, bool *fault, CpuContext *) {
    if (fault) *fault = false;
    return 0;
}
uint64_t ReadMemSim(uint64_t, int, int, bool *fault, bool, CpuContext *) {
    if (fault) *fault = false;
    return 0;
}
void WriteMem(uint64_t, uint64_t, int, CpuContext *) {}
void WriteMemSim(uint64_t, uint64_t, int, bool, CpuContext *) {}

template <> bool addr_is_readable<char>(char volatile *p) {
    return ostrel::guest_byte_readable(p);
}

namespace ostrel {

// The guarded read. It must call sigsetjmp itself: the jump target has to stay live while the
// probe runs.
__attribute__((weak)) bool guarded_guest_read(uint64_t address, void *value, size_t size) {
    if (sigsetjmp(sveFaultJB, 1) != 0) return false;
    SVEFaultRegion = 1;
    // The first and the last byte decide whether the whole access can fault; the value itself
    // is read once the region is closed.
    volatile uint8_t sink;
    sink = *reinterpret_cast<const volatile uint8_t *>(address);
    sink = *reinterpret_cast<const volatile uint8_t *>(address + size - 1);
    (void)sink;
    SVEFaultRegion = 0;
    std::memcpy(value, reinterpret_cast<const void *>(address), size);
    return true;
}

__attribute__((weak)) bool guest_byte_readable(char volatile *p) {
    struct sigaction probe_action = {};
    probe_action.sa_sigaction = probe_fault_handler;
    sigemptyset(&probe_action.sa_mask);
    probe_action.sa_flags = ostrel::kFaultActionFlags;
    access_violation = false;
    struct sigaction previous;
    sigaction(SIGSEGV, &probe_action, &previous);
    ostrel::host::probe_byte(p);
    // A probe on another thread may have swapped in its temporary handler between ours; putting
    // that back would leave it installed for good, so the process's handler replaces it.
    if ((previous.sa_flags & SA_SIGINFO) && previous.sa_sigaction == probe_fault_handler) {
        previous.sa_sigaction = SVESigHandler;
        previous.sa_flags = ostrel::kFaultActionFlags;
        sigemptyset(&previous.sa_mask);
    }
    sigaction(SIGSEGV, &previous, nullptr);
    return !access_violation;
}

bool claim_probe_fault(int sig, void *ucontext) {
    if (sig != SIGSEGV || !host::skip_probe_load(ucontext)) return false;
    // The handler runs on the faulting thread, so this marks that thread's own probe.
    access_violation = true;
    return true;
}

} // namespace ostrel
