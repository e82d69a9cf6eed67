#include "sve/trace/element_trace.h"

#include "sve/trace/memtrace.h"
#include "sve/trace/trace_support.h"

namespace ostrel {

void emit_element_records(const cpu_state *cpu, memaccess_type_t type, uint64_t element_size,
                          const uint64_t *addrs, size_t count) {
    if (!thread_tracing() || count == 0) return;

    // One thread lookup serves the whole instruction.
    const uint32_t tid = current_thread_tid();
    const uint64_t pc = reinterpret_cast<uintptr_t>(cpu->pc);
    for (size_t i = 0; i < count; ++i) {
        sve_mem_ref_t ref{};
        ref.count = incr_count();
        ref.tid = tid;
        ref.seq_flags = kSeqElement | (i == 0 ? kSeqFirst : 0) | (i + 1 == count ? kSeqLast : 0);
        ref.type = type;
        ref.size = element_size;
        ref.addr = addrs[i];
        ref.pc = pc;
        trace_mem(ref);
    }
}

} // namespace ostrel
