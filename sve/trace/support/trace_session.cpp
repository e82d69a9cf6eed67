#include "sve/trace/support/trace_session.h"

#include <atomic>
#include <mutex>
#include <string>
#include <unistd.h>

#include "sve/trace/support/thread_buffer.h"
#include "sve/trace/support/trace_location.h"
#include "sve/trace/support/trace_sink.h"

namespace ostrel::trace {
namespace {

// kWaiting: started without a named file; the default file is created by the first record, so
// a run that traces nothing leaves nothing behind.
enum Phase : int { kNotStarted, kWaiting, kOpen, kClosed };

// Every global here is constant-initialised and trivially destructible: records may arrive
// before any constructor of this library has run, and after its statics would be destroyed.
std::mutex g_lifecycle_mutex;
std::atomic<int> g_phase{kNotStarted};
// True while records are worth buffering: the trace is open and its file is healthy. The
// release store that sets it publishes g_sink.
std::atomic<bool> g_accepting{false};
// Created once and never freed: exiting threads may flush into it at any time.
TraceSink *g_sink = nullptr;
// The name given at start, kept (never freed) until the file is created.
std::string *g_app_name = nullptr;
BufferRegistry g_registry;

thread_local ThreadBuffer *t_buffer = nullptr;

void stop_accepting_after(bool write_ok) {
    if (!write_ok) g_accepting.store(false, std::memory_order_relaxed);
}

// Runs when the thread exits, to write out what its buffer still holds.
// The framework's libdynamorio.so resolves this for the libraries it loads privately; in an
// ordinary process the weak reference stays null.
extern "C" void *dr_get_current_drcontext() __attribute__((weak));

bool inside_dynamorio() {
    return dr_get_current_drcontext != nullptr;
}

struct ThreadExitFlush {
    ~ThreadExitFlush() {
        ThreadBuffer *buffer = t_buffer;
        if (!buffer) return;
        t_buffer = nullptr;
        stop_accepting_after(g_registry.retire(buffer, *g_sink));
        delete buffer;
    }
};

ThreadBuffer *attach_calling_thread() {
    // Inside DynamoRIO this library is loaded privately, with a libc of its own that never sees
    // the application's threads end (registering a thread-exit destructor there crashes). Its
    // buffers are then written out when they fill up and at sve_exit.
    if (!inside_dynamorio()) {
        static thread_local ThreadExitFlush exit_flush;
        (void)exit_flush; // odr-use registers its destructor for this thread
    }
    auto *buffer = new ThreadBuffer;
    g_registry.add(buffer);
    t_buffer = buffer;
    return buffer;
}

// With g_lifecycle_mutex held, in phase kNotStarted or kWaiting.
void open_file() {
    const auto pid = static_cast<uint32_t>(::getpid());
    g_sink = new TraceSink(trace_file_path(pid));
    const bool ok = g_sink->open(pid, g_app_name ? *g_app_name : own_program_name());
    g_phase.store(kOpen, std::memory_order_release);
    g_accepting.store(ok, std::memory_order_release);
}

// The first record of a trace that waits for one.
void open_on_first_record() {
    std::lock_guard<std::mutex> lock(g_lifecycle_mutex);
    const int phase = g_phase.load(std::memory_order_relaxed);
    if (phase == kNotStarted || phase == kWaiting) open_file();
}

} // namespace

void start_trace(const char *app_name) {
    std::lock_guard<std::mutex> lock(g_lifecycle_mutex);
    if (g_phase.load(std::memory_order_relaxed) != kNotStarted) return;
    if (app_name && *app_name) g_app_name = new std::string(app_name);
    if (trace_file_named())
        open_file();
    else
        g_phase.store(kWaiting, std::memory_order_release);
}

void finish_trace() {
    std::lock_guard<std::mutex> lock(g_lifecycle_mutex);
    const int phase = g_phase.load(std::memory_order_relaxed);
    g_phase.store(kClosed, std::memory_order_release);
    if (phase != kOpen) return;
    // Stop taking records before the flush: then it misses only records already in flight
    // on other threads, which race with the end of the trace anyway.
    g_accepting.store(false, std::memory_order_relaxed);
    g_registry.flush_all(*g_sink);
    g_sink->close();
}

void record(const sve_mem_ref_t &ref) {
    if (!g_accepting.load(std::memory_order_acquire)) {
        const int phase = g_phase.load(std::memory_order_acquire);
        if (phase != kNotStarted && phase != kWaiting) return;
        open_on_first_record();
        if (!g_accepting.load(std::memory_order_acquire)) return;
    }
    ThreadBuffer *buffer = t_buffer;
    if (!buffer) buffer = attach_calling_thread();
    if (buffer->append(ref)) stop_accepting_after(buffer->drain(*g_sink));
}

} // namespace ostrel::trace
