#include "trace_summary.h"

#include <algorithm>
#include <cinttypes>
#include <unordered_map>

namespace ostrel::trace {
namespace {

bool is_marker(const sve_mem_ref_t &ref) {
    return ref.tid == kTidStartMarker || ref.tid == kTidStopMarker;
}

// Enough to see what the region of interest looked like without flooding the terminal.
constexpr size_t kListedMarkers = 20;

} // namespace

TraceSummary summarize(const std::vector<sve_mem_ref_t> &records) {
    TraceSummary summary;
    std::unordered_map<uint64_t, PcTraffic> by_pc;
    for (const sve_mem_ref_t &ref : records) {
        if (is_marker(ref)) {
            summary.markers.emplace_back(ref.tid, ref.count);
            ++(ref.tid == kTidStartMarker ? summary.start_markers : summary.stop_markers);
            continue;
        }
        ++summary.records_per_thread[ref.tid];
        if (ref.type == MEMACCESS_READ) {
            ++summary.load_records;
            summary.load_bytes += ref.size;
        } else if (ref.type == MEMACCESS_WRITE) {
            ++summary.store_records;
            summary.store_bytes += ref.size;
        } else {
            ++summary.other_records;
            continue;
        }
        PcTraffic &traffic = by_pc[ref.pc];
        traffic.pc = ref.pc;
        traffic.bytes += ref.size;
        ++traffic.records;
    }

    summary.top_pcs.reserve(by_pc.size());
    for (const auto &entry : by_pc)
        summary.top_pcs.push_back(entry.second);
    const auto busier = [](const PcTraffic &a, const PcTraffic &b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.pc < b.pc;
    };
    const size_t kept = std::min(kTopPcCount, summary.top_pcs.size());
    std::partial_sort(summary.top_pcs.begin(), summary.top_pcs.begin() + kept,
                      summary.top_pcs.end(), busier);
    summary.top_pcs.resize(kept);
    return summary;
}

void print_summary(const TraceFile &trace, const TraceSummary &summary, std::FILE *out) {
    const TraceHeader &header = trace.header;
    std::fprintf(out, "application: %s\n", header.app_name.c_str());
    std::fprintf(out, "pid: %" PRIu32 "\n", header.pid);
    std::fprintf(out, "records: %zu (%zu markers)\n", trace.records.size(), summary.markers.size());
    std::fprintf(out, "bytes read: %" PRIu64 " in %" PRIu64 " load records\n", summary.load_bytes,
                 summary.load_records);
    std::fprintf(out, "bytes written: %" PRIu64 " in %" PRIu64 " store records\n",
                 summary.store_bytes, summary.store_records);
    if (summary.other_records)
        std::fprintf(out, "records of unknown type: %" PRIu64 "\n", summary.other_records);

    std::fprintf(out, "threads: %zu\n", summary.records_per_thread.size());
    for (const auto &[tid, count] : summary.records_per_thread)
        std::fprintf(out, "  tid 0x%08" PRIx32 ": %" PRIu64 " records\n", tid, count);

    std::fprintf(out, "top PCs by bytes:\n");
    for (const PcTraffic &traffic : summary.top_pcs)
        std::fprintf(out, "  pc 0x%" PRIx64 ": %" PRIu64 " bytes in %" PRIu64 " records\n",
                     traffic.pc, traffic.bytes, traffic.records);

    std::fprintf(out, "markers: %" PRIu64 " start, %" PRIu64 " stop\n", summary.start_markers,
                 summary.stop_markers);
    const size_t listed = std::min(kListedMarkers, summary.markers.size());
    for (size_t i = 0; i < listed; ++i)
        std::fprintf(out, "  %s at count %" PRIu64 "\n",
                     summary.markers[i].first == kTidStartMarker ? "start" : "stop",
                     summary.markers[i].second);
    if (listed < summary.markers.size())
        std::fprintf(out, "  ... and %zu more\n", summary.markers.size() - listed);
}

} // namespace ostrel::trace
