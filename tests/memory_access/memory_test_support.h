// Pages that fault on purpose, and running a piece of code in a child process that may die.
#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/guest_memory.h"

namespace ostrel::testing {

using PageBeforeHole = PagesBeforeHole;

// A shared mapping of an empty file: reading it raises SIGBUS.
class PastEndOfFile {
  public:
    PastEndOfFile();
    ~PastEndOfFile();
    PastEndOfFile(const PastEndOfFile &) = delete;
    PastEndOfFile &operator=(const PastEndOfFile &) = delete;
    uint64_t address() const { return reinterpret_cast<uint64_t>(base_); }

  private:
    char *base_;
    std::size_t size_;
};

struct ChildOutcome {
    bool signaled;   // ended by a signal
    int signal;      // which, when signaled
    int exit_status; // when not signaled
    std::string err; // everything it wrote to stderr
};

// Runs `body` in a forked child whose stderr is captured; a child that survives exits with 0.
ChildOutcome run_in_child(const std::function<void()> &body);

// The line SVESigHandler prints for an unrecovered fault.
std::string unrecovered_fault_line(const char *signal_name);

// True when the disposition of `sig` is SVESigHandler with the fault recovery's flags and an
// empty mask.
bool fault_handler_installed(int sig);

} // namespace ostrel::testing
