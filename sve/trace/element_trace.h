// Element-wise trace records for gathers, scatters and structure accesses: one record per active
// element, flagged so a reader can tell where one instruction's sequence starts and ends.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "sve/client/cpu_state.h"
#include "sve/trace/sve_mem_ref.h"

namespace ostrel {

// The most elements one instruction can touch: a four-register structure access of bytes at the
// longest vector length.
constexpr unsigned kMaxTracedElements = 4 * kMaxVectorBytes;

// Addresses of an instruction's active elements, in ascending element order. Fixed capacity so
// an executor can keep it on its stack and fill it while it performs the access.
class ElementAddresses {
  public:
    void push_back(uint64_t addr) {
        assert(size_ < kMaxTracedElements);
        if (size_ < kMaxTracedElements) addrs_[size_++] = addr;
    }
    void clear() { size_ = 0; }
    unsigned size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const uint64_t *data() const { return addrs_; }

  private:
    uint64_t addrs_[kMaxTracedElements];
    unsigned size_ = 0;
};

// Emits one record per address, each `element_size` bytes, with seq_flags 3, 2, ..., 2, 6
// (7 when there is only one). Nothing is emitted when tracing is off or `count` is 0.
void emit_element_records(const cpu_state *cpu, memaccess_type_t type, uint64_t element_size,
                          const uint64_t *addrs, size_t count);

inline void emit_element_records(const cpu_state *cpu, memaccess_type_t type, uint64_t element_size,
                                 const ElementAddresses &addrs) {
    emit_element_records(cpu, type, element_size, addrs.data(), addrs.size());
}

} // namespace ostrel
