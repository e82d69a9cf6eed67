// `ostrel-trace summary`: what a trace holds, in a few lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "sve/trace/support/trace_file.h"

namespace ostrel::trace {

struct PcTraffic {
    uint64_t pc = 0;
    uint64_t bytes = 0;
    uint64_t records = 0;
};

struct TraceSummary {
    uint64_t load_records = 0;
    uint64_t load_bytes = 0;
    uint64_t store_records = 0;
    uint64_t store_bytes = 0;
    uint64_t other_records = 0; // neither load, store nor marker: a damaged record
    std::map<uint32_t, uint64_t> records_per_thread;    // markers excluded
    std::vector<PcTraffic> top_pcs;                     // by bytes, largest first
    std::vector<std::pair<uint32_t, uint64_t>> markers; // (kind tid, count) in file order
    uint64_t start_markers = 0;
    uint64_t stop_markers = 0;
};

inline constexpr size_t kTopPcCount = 10;

TraceSummary summarize(const std::vector<sve_mem_ref_t> &records);
void print_summary(const TraceFile &trace, const TraceSummary &summary, std::FILE *out);

} // namespace ostrel::trace
