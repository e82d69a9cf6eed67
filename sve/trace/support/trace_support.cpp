// The library's exported entry points; everything else in it is hidden.
#include "sve/trace/trace_support.h"

#include <atomic>

#include "sve/trace/support/trace_session.h"

namespace {

// On a cache line of its own: every traced access of every thread increments it, and it
// should not drag the flags read on the same path along.
alignas(64) std::atomic<uint64_t> g_next_count{1};

// A process that never calls sve_exit still gets the records its live threads hold.
__attribute__((destructor)) void finish_trace_at_unload() {
    ostrel::trace::finish_trace();
}

} // namespace

bool sve_init(void *, const char *app_name) {
    // Even a trace that cannot be written reports ready: false would abort the traced program.
    ostrel::trace::start_trace(app_name);
    return true;
}

void sve_exit() {
    ostrel::trace::finish_trace();
}

uint64_t incr_count() {
    return g_next_count.fetch_add(1, std::memory_order_relaxed);
}

void trace_mem(sve_mem_ref_t const &ref) {
    ostrel::trace::record(ref);
}
