// One memory trace record, as handed to the trace-support library.
#pragma once

#include <cstddef>
#include <cstdint>

enum memaccess_type_t : uint32_t {
    MEMACCESS_WRITE = 0,
    MEMACCESS_READ = 1,
};

struct sve_mem_ref_t {
    uint64_t count;     // the value incr_count() returned for this record
    uint32_t tid;       // low 32 bits of pthread_self(); a marker's kind in a marker record
    uint32_t seq_flags; // element-wise records only: see kSeq* below
    memaccess_type_t type;
    uint64_t size; // bytes covered, starting at addr
    uint64_t addr;
    uint64_t pc; // the emulated instruction; 0 in a marker record
};

static_assert(sizeof(sve_mem_ref_t) == 48);
static_assert(offsetof(sve_mem_ref_t, count) == 0);
static_assert(offsetof(sve_mem_ref_t, tid) == 8);
static_assert(offsetof(sve_mem_ref_t, seq_flags) == 12);
static_assert(offsetof(sve_mem_ref_t, type) == 16);
static_assert(offsetof(sve_mem_ref_t, size) == 24);
static_assert(offsetof(sve_mem_ref_t, addr) == 32);
static_assert(offsetof(sve_mem_ref_t, pc) == 40);

namespace ostrel {
// seq_flags of element-wise records: every one has kSeqElement, the instruction's first record
// adds kSeqFirst and its last kSeqLast. Coalesced and marker records carry 0.
constexpr uint32_t kSeqFirst = 1;
constexpr uint32_t kSeqElement = 2;
constexpr uint32_t kSeqLast = 4;
// tid of the region-of-interest marker records.
constexpr uint32_t kTidStartMarker = 0xFFFFFFFFu;
constexpr uint32_t kTidStopMarker = 0xFFFFFFFEu;
} // namespace ostrel
