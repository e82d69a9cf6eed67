#include "sve/trace/memtrace.h"

#include "sve/trace/trace_support.h"

thread_local bool enable_trace = false;
thread_local sve_mem_ref_t trace_roi = {};

namespace ostrel {

std::atomic<bool> g_tracing_started{false};

void emit_coalesced_record(const cpu_state *cpu, memaccess_type_t type, uint64_t addr,
                           uint64_t size) {
    sve_mem_ref_t ref{};
    // The count is taken before anything else so it orders this record among all threads'.
    ref.count = incr_count();
    ref.tid = current_thread_tid();
    ref.seq_flags = 0;
    ref.type = type;
    ref.size = size;
    ref.addr = addr;
    ref.pc = reinterpret_cast<uintptr_t>(cpu->pc);
    trace_mem(ref);
}

} // namespace ostrel
