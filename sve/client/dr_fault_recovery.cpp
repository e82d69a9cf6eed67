// Fault recovery of guest reads inside the framework. The framework owns the process's signal
// handlers (a handler the client installs is never called), so guarded reads and the readability
// probe use its safe read instead; these strong definitions replace the core's signal-based ones.
#include "dr_api.h"

#include "sve/kernels/guest_memory.h"

bool ostrel::guarded_guest_read(uint64_t address, void *value, size_t size) {
    size_t copied = 0;
    return dr_safe_read(reinterpret_cast<void *>(address), size, value, &copied) && copied == size;
}

bool ostrel::guest_byte_readable(char volatile *p) {
    char byte;
    size_t copied = 0;
    return dr_safe_read(const_cast<char *>(p), 1, &byte, &copied) && copied == 1;
}

void ostrel::install_fault_recovery() {
    // Nothing to install: the emulation call catches faults through the framework.
}
