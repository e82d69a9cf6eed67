#include "sve/client/mix_report.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <utility>

namespace ostrel::mix {
namespace {

double share(uint64_t count, uint64_t total) {
    return total ? static_cast<double>(count) / static_cast<double>(total) : 0.0;
}

template <typename... Args> std::string printf_string(const char *format, Args... args) {
    char line[256];
    const int n = std::snprintf(line, sizeof line, format, args...);
    return std::string(line, n < 0 ? 0 : std::min<size_t>(size_t(n), sizeof line - 1));
}

std::string format_text(const MixReport &r) {
    std::string out = printf_string("Instruction mix: %" PRIu64 " SVE instructions emulated%s\n",
                                    r.total, r.region_only ? " inside the region of interest" : "");
    out += "\nBy mnemonic and element type:\n";
    out += printf_string("  %-16s %-7s %-15s %14s %8s\n", "mnemonic", "type", "class", "count",
                         "share");
    for (const MixLine &line : r.lines)
        out += printf_string("  %-16s %-7s %-15s %14" PRIu64 " %7.2f%%\n", line.mnemonic.c_str(),
                             line.type.c_str(), class_name(line.instruction_class), line.count,
                             100 * share(line.count, r.total));
    out += "\nBy class:\n";
    for (unsigned c = 0; c < kNumClasses; ++c)
        out += printf_string("  %-15s %14" PRIu64 " %7.2f%%\n",
                             class_name(static_cast<InstructionClass>(c)), r.by_class[c],
                             100 * share(r.by_class[c], r.total));
    out += "\nUnimplemented instructions met:";
    if (r.unimplemented.empty()) out += " none";
    out += "\n";
    if (!r.unimplemented.empty())
        out += printf_string("  %-10s %14s  %s\n", "word", "count", "first PC");
    for (const UnimplementedWord &w : r.unimplemented)
        out += printf_string("  0x%08" PRIx32 " %14" PRIu64 "  0x%" PRIx64 "\n", w.word,
                             w.count[r.region_only], w.first_pc);
    if (r.unimplemented_not_kept)
        out += printf_string("  (and %" PRIu64 " meetings of further words, not kept)\n",
                             r.unimplemented_not_kept);
    return out;
}

std::string format_csv(const MixReport &r) {
    std::string out = "kind,name,type,class,count,share,first_pc\n";
    out += printf_string("total,%s,,,%" PRIu64 ",1,\n", r.region_only ? "region" : "run", r.total);
    for (const MixLine &line : r.lines)
        out += printf_string("instruction,%s,%s,%s,%" PRIu64 ",%.6f,\n", line.mnemonic.c_str(),
                             line.type.c_str(), class_name(line.instruction_class), line.count,
                             share(line.count, r.total));
    for (unsigned c = 0; c < kNumClasses; ++c)
        out += printf_string("class,,,%s,%" PRIu64 ",%.6f,\n",
                             class_name(static_cast<InstructionClass>(c)), r.by_class[c],
                             share(r.by_class[c], r.total));
    for (const UnimplementedWord &w : r.unimplemented)
        out += printf_string("unimplemented,0x%08" PRIx32 ",,,%" PRIu64 ",,0x%" PRIx64 "\n", w.word,
                             w.count[r.region_only], w.first_pc);
    return out;
}

} // namespace

MixReport build_report(const MixSnapshot &snapshot) {
    MixReport report;
    uint64_t inside = 0;
    for (uint64_t n : snapshot.rows[kInsideRegion])
        inside += n;
    report.region_only = inside > 0;
    const std::vector<uint64_t> &counts = snapshot.rows[report.region_only];

    std::map<std::pair<std::string, std::string>, MixLine> merged;
    for (size_t r = 0; r < counts.size() && r < kNumRows; ++r) {
        if (counts[r] == 0) continue;
        const DecodeRow &row = kDecodeRows[r];
        const InstructionClass c = classify(row);
        MixLine &line = merged[{mnemonic(row), row.type}];
        if (line.count == 0) line = MixLine{mnemonic(row), row.type, c, 0};
        line.count += counts[r];
        report.by_class[static_cast<unsigned>(c)] += counts[r];
        report.total += counts[r];
    }
    for (auto &entry : merged)
        report.lines.push_back(std::move(entry.second));
    std::stable_sort(report.lines.begin(), report.lines.end(),
                     [](const MixLine &a, const MixLine &b) { return a.count > b.count; });

    for (const UnimplementedWord &w : snapshot.unimplemented)
        if (w.count[report.region_only]) report.unimplemented.push_back(w);
    std::sort(report.unimplemented.begin(), report.unimplemented.end(),
              [&](const UnimplementedWord &a, const UnimplementedWord &b) {
                  const uint64_t ca = a.count[report.region_only], cb = b.count[report.region_only];
                  return ca != cb ? ca > cb : a.word < b.word;
              });
    report.unimplemented_not_kept = snapshot.unimplemented_not_kept;
    return report;
}

bool parse_format(const std::string &name, MixFormat *format) {
    if (name == "text")
        *format = MixFormat::text;
    else if (name == "csv")
        *format = MixFormat::csv;
    else
        return false;
    return true;
}

std::string format_report(const MixReport &report, MixFormat format) {
    return format == MixFormat::csv ? format_csv(report) : format_text(report);
}

} // namespace ostrel::mix
