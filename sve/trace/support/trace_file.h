// The trace file written by libostrel_trace and read by ostrel-trace. This header is the
// reference for the format.
//
// A trace file is a header followed by fixed-size records. Every integer is little-endian.
//
//   offset  bytes  field
//   0       8      magic "OSTRELTR" (no terminating NUL)
//   8       4      format version, kTraceFormatVersion
//   12      4      header size H in bytes: the offset of the first record; a multiple of 8
//                  so that records stay 8-byte aligned in a mapped file
//   16      4      record size in bytes, kTraceRecordSize (48)
//   20      4      pid of the traced process
//   24      4      length N of the application name in bytes, at most kMaxAppNameBytes
//   28      N      application name, not NUL-terminated
//   28+N    ...    zero bytes up to H
//   H       48*k   k records
//
// A record is an sve_mem_ref_t in its in-memory layout (sve/trace/sve_mem_ref.h):
//
//   0 count u64 | 8 tid u32 | 12 seq_flags u32 | 16 type u32 | 20 zero u32 |
//   24 size u64 | 32 addr u64 | 40 pc u64
//
// The records of one thread appear in the order that thread produced them; records of
// different threads are interleaved in blocks, so `count` is the only global order. A file
// always ends on a record boundary; anything else means it was cut short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "sve/trace/sve_mem_ref.h"

namespace ostrel::trace {

inline constexpr char kTraceMagic[8] = {'O', 'S', 'T', 'R', 'E', 'L', 'T', 'R'};
inline constexpr uint32_t kTraceFormatVersion = 1;
inline constexpr uint32_t kTraceRecordSize = 48;
inline constexpr size_t kTraceFixedHeaderSize = 28;
inline constexpr size_t kMaxAppNameBytes = 4096;

static_assert(sizeof(sve_mem_ref_t) == kTraceRecordSize);

struct TraceHeader {
    uint32_t version = 0;
    uint32_t header_size = 0;
    uint32_t record_size = 0;
    uint32_t pid = 0;
    std::string app_name;
};

struct TraceFile {
    TraceHeader header;
    std::vector<sve_mem_ref_t> records;
};

// Either a parsed trace or one line saying why the input is not one.
struct TraceReadResult {
    TraceFile trace;
    std::string error;
    bool ok() const { return error.empty(); }
};

// The header bytes for a trace of process `pid`; a longer name is cut to kMaxAppNameBytes.
std::vector<unsigned char> encode_trace_header(uint32_t pid, std::string_view app_name);

// Stores one record in its file form at `out` (kTraceRecordSize bytes). The in-memory layout
// already is the file layout on the little-endian hosts this runs on; only the padding needs
// clearing, since the caller's copy of it is indeterminate.
inline void encode_trace_record(const sve_mem_ref_t &ref, unsigned char *out) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "trace records are little-endian");
    std::memcpy(out, &ref, kTraceRecordSize);
    std::memset(out + 20, 0, 4);
}

TraceReadResult parse_trace(const unsigned char *data, size_t size);
TraceReadResult read_trace_file(const std::string &path);

} // namespace ostrel::trace
