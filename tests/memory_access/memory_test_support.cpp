#include "tests/memory_access/memory_test_support.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "sve/kernels/guest_memory.h"

namespace ostrel::testing {

PastEndOfFile::PastEndOfFile() : size_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))) {
    FILE *f = std::tmpfile();
    void *p = mmap(nullptr, size_, PROT_READ, MAP_SHARED, fileno(f), 0);
    std::fclose(f); // the mapping keeps the file
    if (p == MAP_FAILED) std::abort();
    base_ = static_cast<char *>(p);
}

PastEndOfFile::~PastEndOfFile() {
    munmap(base_, size_);
}

ChildOutcome run_in_child(const std::function<void()> &body) {
    FILE *err = std::tmpfile();
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const struct rlimit no_core = {0, 0}; // the child is meant to die; no core file
        setrlimit(RLIMIT_CORE, &no_core);
        dup2(fileno(err), STDERR_FILENO);
        body();
        std::fflush(stderr);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ChildOutcome out{WIFSIGNALED(status), WIFSIGNALED(status) ? WTERMSIG(status) : 0,
                     WIFEXITED(status) ? WEXITSTATUS(status) : -1, ""};
    std::rewind(err);
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, err)) > 0;)
        out.err.append(buf, n);
    std::fclose(err);
    return out;
}

std::string unrecovered_fault_line(const char *signal_name) {
    return std::string("vexem's SVESigHandler caught signal ") + signal_name +
           " from the process being emulated, passing it to the default signal handler.\n";
}

bool fault_handler_installed(int sig) {
    struct sigaction now;
    sigaction(sig, nullptr, &now);
    bool mask_empty = true;
    for (int s = 1; s < 32; ++s)
        if (sigismember(&now.sa_mask, s)) mask_empty = false;
    // The C library may add its own restorer flag to what the kernel reports.
    const int restorer = 0x04000000;
    return (now.sa_flags & ~restorer) == kFaultActionFlags && (now.sa_flags & SA_SIGINFO) &&
           now.sa_sigaction == SVESigHandler && mask_empty;
}

} // namespace ostrel::testing
