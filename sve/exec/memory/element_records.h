// The per-element trace records of gathers and scatters, built only when the calling thread
// traces: the addresses are worked out again from the registers, which neither access changes
// before this runs, so the access itself need not collect them.
#pragma once

#include <cstdint>

#include "sve/client/cpu_state.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/memory/contiguous_access.h"
#include "sve/trace/memtrace.h"

namespace ostrel::memory {

// One record of sizeof(T) bytes per active element (of type U) at address(i), in ascending order.
template <typename T, typename U, typename Address>
[[gnu::noinline]] void trace_active_elements(const cpu_state *s, const uint8_t *pred,
                                             const Address &address, memaccess_type_t type) {
    ElementAddresses traced;
    const unsigned elements = reg_elements<U>();
    for (unsigned i = 0; i < elements; ++i)
        if (integer::element_active<U>(pred, i)) traced.push_back(address(i));
    emit_element_records(s, type, sizeof(T), traced);
}

} // namespace ostrel::memory
