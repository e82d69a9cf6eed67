// Access to guest memory for the vector kernels, and the recovery from faults on it.
//
// The emulator runs inside the application's process, so guest memory is this process's memory
// and accesses are ordinary loads and stores. Only two kinds of access survive a fault: a guarded
// read (ReadMemLibN with a fault flag) and the one-byte readability probe addr_is_readable<char>.
// A fault anywhere else reaches SVESigHandler, which reports it once and lets it end the process.
//
// Fault recovery is installed while the program loads, by an initialiser that sits in the same
// object as SVEInitialize; any program that uses these accessors therefore gets it.
#pragma once

#include <csetjmp>
#include <csignal>
#include <cstdint>

#include "sve/kernels/vec_value.h"

// Page size of the host, set first while the program loads.
extern uint32_t page_size;

// A context record with a 128-bit vector length and a pointer to it, set up by SVEInitialize for
// callers of the kernel library that have no context of their own.
extern CpuContext cpu_ctxt;
extern CpuContext *ctxt;

// Reads of 1, 2, 4 or 8 bytes (little-endian, zero-extended). With a null `fault` a plain load.
// With a non-null `fault` a guarded read: a fault yields 0 and sets *fault to true; a successful
// read leaves *fault alone, so the caller clears it first. `kind` and the context are not used.
// Guarded reads are safe from any number of threads at once.
uint64_t ReadMemLib1(uint64_t address, int kind, bool *fault, CpuContext *context);
uint64_t ReadMemLib2(uint64_t address, int kind, bool *fault, CpuContext *context);
uint64_t ReadMemLib4(uint64_t address, int kind, bool *fault, CpuContext *context);
uint64_t ReadMemLib8(uint64_t address, int kind, bool *fault, CpuContext *context);

// ReadMemLib1 .. ReadMemLib8 chosen by the access width M (bytes) at compile time.
template <unsigned M> uint64_t ReadMemLibOfWidth(uint64_t address, bool *fault, CpuContext *ctx) {
    static_assert(M == 1 || M == 2 || M == 4 || M == 8, "memory element size");
    if constexpr (M == 1) return ReadMemLib1(address, 0, fault, ctx);
    if constexpr (M == 2) return ReadMemLib2(address, 0, fault, ctx);
    if constexpr (M == 4) return ReadMemLib4(address, 0, fault, ctx);
    if constexpr (M == 8) return ReadMemLib8(address, 0, fault, ctx);
}

// Plain stores of the value's width.
void WriteMemLib1(unsigned char value, uint64_t address, CpuContext *context);
void WriteMemLib2(unsigned short value, uint64_t address, CpuContext *context);
void WriteMemLib4(unsigned int value, uint64_t address, CpuContext *context);
void WriteMemLib8(unsigned long value, uint64_t address, CpuContext *context);

// Entry points of the kernel library's interface that this emulator has no use for: the reads
// clear the flag and return 0 without touching memory, the writes do nothing.
uint64_t ReadMem(uint64_t address, int size, int kind, bool *fault, CpuContext *context);
uint64_t ReadMemSim(uint64_t address, int size, int kind, bool *fault, bool sim,
                    CpuContext *context);
void WriteMem(uint64_t value, uint64_t address, int size, CpuContext *context);
void WriteMemSim(uint64_t value, uint64_t address, int size, bool sim, CpuContext *context);

// True when one byte can be read at `p`, false when reading it raises SIGSEGV. Only the char
// form exists.
template <typename T> bool addr_is_readable(T volatile *p);
template <> bool addr_is_readable<char>(char volatile *p);

// The process's handler of SIGSEGV and SIGBUS: resumes a guarded read that faulted on this
// thread; any other fault is reported once on stderr and then ends the process by the signal's
// default action.
void SVESigHandler(int sig, siginfo_t *info, void *ucontext);

// Installs SVESigHandler and sets up cpu_ctxt, once per process; returns 1. Called while the
// program loads; later calls return at once.
int SVEInitialize();

// Recovery state of the guarded read running on the current thread, shared with SVESigHandler.
// Kept per thread so that guarded reads on several threads at once do not disturb each other.
extern thread_local sigjmp_buf sveFaultJB;
extern thread_local volatile sig_atomic_t SVEFaultRegion; // 1 while the guarded read probes
// Set to 1 by SVEInitialize.
extern int SVELibInitialized;

namespace ostrel {

// Flags of every disposition the fault recovery installs: SA_SIGINFO | SA_RESTART | SA_NODEFER.
constexpr int kFaultActionFlags = 0x50000004;
static_assert(kFaultActionFlags == (SA_SIGINFO | SA_RESTART | SA_NODEFER));

// Recognises a SIGSEGV raised by the readability probe load of any thread, marks that thread's
// probe as failed and moves the thread past the load. False for every other fault.
bool claim_probe_fault(int sig, void *ucontext);

// The line on stderr for a fault that no guarded read catches (SIGSEGV, or SIGBUS for any other
// signal number), flushed before the signal ends the process.
void report_unguarded_fault(int sig);

// How guarded reads and the readability probe survive a fault. The core's own answer is the
// process-wide signal handler above: weak definitions, used by the standalone runner and the
// tests. A front end whose framework owns the process's signals (the instrumentation client)
// links in strong definitions of all three that use the framework's own fault handling instead.
//
// Copies `size` bytes at `address` into `value`; false, with `value` unspecified, on a fault.
bool guarded_guest_read(uint64_t address, void *value, size_t size);
// True when one byte can be read at `p`.
bool guest_byte_readable(char volatile *p);
// Called once by SVEInitialize.
void install_fault_recovery();

} // namespace ostrel
