#include "trace_dump.h"

#include <cinttypes>

namespace ostrel::trace {
namespace {

// Markers carry their kind in `tid` and 0 in `type`; naming them beats "store".
const char *kind_of(const sve_mem_ref_t &ref) {
    if (ref.tid == kTidStartMarker) return "start-marker";
    if (ref.tid == kTidStopMarker) return "stop-marker";
    if (ref.type == MEMACCESS_READ) return "load";
    if (ref.type == MEMACCESS_WRITE) return "store";
    return "unknown";
}

void print_text(const sve_mem_ref_t &ref, std::FILE *out) {
    std::fprintf(out,
                 "count=%" PRIu64 " tid=0x%08" PRIx32 " seq_flags=%" PRIu32 " type=%s"
                 " size=%" PRIu64 " addr=0x%" PRIx64 " pc=0x%" PRIx64 "\n",
                 ref.count, ref.tid, ref.seq_flags, kind_of(ref), ref.size, ref.addr, ref.pc);
}

void print_csv(const sve_mem_ref_t &ref, std::FILE *out) {
    std::fprintf(out,
                 "%" PRIu64 ",0x%08" PRIx32 ",%" PRIu32 ",%" PRIu32 ",%" PRIu64 ",0x%" PRIx64
                 ",0x%" PRIx64 "\n",
                 ref.count, ref.tid, ref.seq_flags, static_cast<uint32_t>(ref.type), ref.size,
                 ref.addr, ref.pc);
}

} // namespace

void dump_records(const std::vector<sve_mem_ref_t> &records, DumpFormat format, std::FILE *out) {
    if (format == DumpFormat::kCsv) std::fputs("count,tid,seq_flags,type,size,addr,pc\n", out);
    for (const sve_mem_ref_t &ref : records)
        (format == DumpFormat::kCsv ? print_csv : print_text)(ref, out);
}

} // namespace ostrel::trace
