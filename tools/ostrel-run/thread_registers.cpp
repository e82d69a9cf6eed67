#include "tools/ostrel-run/thread_registers.h"

#include <pthread.h>
#include <sys/mman.h>

namespace ostrel::runner {
namespace {

pthread_key_t state_key;
thread_local cpu_state *thread_state = nullptr;

// Runs in the exiting thread; a signal handler may still run after it, and must find no file.
void free_state(void *state) {
    thread_state = nullptr;
    munmap(state, sizeof(cpu_state));
}

} // namespace

void start_thread_registers() {
    pthread_key_create(&state_key, free_state);
}

// mmap rather than malloc: the trap may interrupt the thread anywhere, even inside malloc.
cpu_state *registers_of_this_thread() {
    if (thread_state) return thread_state;
    void *mem = mmap(nullptr, sizeof(cpu_state), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mem == MAP_FAILED) return nullptr;
    thread_state = static_cast<cpu_state *>(mem); // zero-filled: Z, P and FFR start cleared
    pthread_setspecific(state_key, thread_state);
    return thread_state;
}

cpu_state *existing_registers_of_this_thread() {
    return thread_state;
}

} // namespace ostrel::runner
