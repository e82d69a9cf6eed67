// Runs code that may raise SIGILL, SIGSEGV or SIGBUS at one known instruction and turns the
// signal into a return value. A signal anywhere else is a defect of the runner itself: it is
// reported on standard error and the process exits with kInternalFaultExit.
#pragma once

#include <cstdint>
#include <string>

namespace ostrel::oracle::reference {

constexpr int kInternalFaultExit = 3;

struct Trap {
    int signal;       // 0 when the code returned normally
    uint64_t address; // si_addr of a SIGSEGV or SIGBUS
};

// Installs the handlers, on an alternate signal stack: the trapped code may have set SP to
// anything. Returns false with `error` set when that fails.
bool install_fault_traps(std::string &error);

// Calls `entry`; a trap signal raised with the program counter at `instruction` ends the call.
Trap run_trapped(void (*entry)(), uint64_t instruction);

} // namespace ostrel::oracle::reference
