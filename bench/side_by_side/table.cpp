#include "bench/side_by_side/table.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace ostrel::bench {
namespace {

std::optional<double> value_at(const ResultLines &lines, const char *id, std::size_t i) {
    auto it = lines.find(id);
    if (it == lines.end() || it->second.size() <= i) return std::nullopt;
    return it->second[i];
}

std::string cell(const std::optional<double> &v, const char *format) {
    if (!v) return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, *v);
    return text;
}

} // namespace

bool parse_result_lines(std::istream &in, ResultLines &lines, std::string &error) {
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id;
        if (!(fields >> id) || id[0] == '#') continue;
        std::vector<double> values;
        double v;
        while (fields >> v)
            values.push_back(v);
        if (values.empty() || !fields.eof()) {
            error = "cannot read the line \"" + line + "\"";
            return false;
        }
        lines[id] = values;
    }
    return true;
}

std::optional<double> median(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double guest_instructions_per_emulated(const ClientCounts &counts, unsigned long short_iterations,
                                       unsigned long long_iterations) {
    const double emulated =
        static_cast<double>(long_iterations - short_iterations) * OSTREL_BENCH_COPIES;
    return ((counts.class_long - counts.class_short) - (counts.nop_long - counts.nop_short)) /
           emulated;
}

double guest_instructions_per_emulated_in_one_run(const ClientCounts &counts,
                                                  unsigned long long_iterations) {
    return (counts.class_long - counts.nop_long) /
           (static_cast<double>(long_iterations) * OSTREL_BENCH_COPIES);
}

std::vector<TableRow> build_rows(const Measurements &m) {
    std::vector<TableRow> rows;
    for (const BenchClass &c : kBenchClasses) {
        TableRow row{};
        row.bench_class = &c;
        row.qemu_ns = value_at(m.qemu, c.id, 0);
        row.handler_ns = value_at(m.engine, c.id, 0);
        row.engine_ns = value_at(m.engine, c.id, 1);
        // A QEMU time at or below zero is noise around a NOP: no ratio can be formed from it.
        if (row.qemu_ns && row.engine_ns && *row.qemu_ns > 0)
            row.ratio = *row.engine_ns / *row.qemu_ns;
        const std::optional<double> class_short = value_at(m.client, c.id, 0);
        const std::optional<double> class_long = value_at(m.client, c.id, 1);
        const std::optional<double> nop_short = value_at(m.client, "nop", 0);
        const std::optional<double> nop_long = value_at(m.client, "nop", 1);
        if (class_short && class_long && nop_short && nop_long && m.client_long > m.client_short) {
            const ClientCounts counts{*class_short, *class_long, *nop_short, *nop_long};
            row.client_guest_instructions =
                guest_instructions_per_emulated(counts, m.client_short, m.client_long);
            row.client_guest_instructions_in_one_run =
                guest_instructions_per_emulated_in_one_run(counts, m.client_long);
        }
        rows.push_back(row);
    }
    return rows;
}

Summary summarise(const std::vector<TableRow> &rows) {
    Summary s;
    std::vector<double> ratios, costs, one_run_costs;
    for (const TableRow &row : rows) {
        if (row.ratio) {
            ratios.push_back(*row.ratio);
            if (!s.worst_ratio || *row.ratio > *s.worst_ratio) {
                s.worst_ratio = row.ratio;
                s.worst_class = row.bench_class;
            }
        }
        if (row.client_guest_instructions) costs.push_back(*row.client_guest_instructions);
        if (row.client_guest_instructions_in_one_run)
            one_run_costs.push_back(*row.client_guest_instructions_in_one_run);
    }
    s.median_ratio = median(ratios);
    s.median_client_cost = median(costs);
    s.median_client_cost_in_one_run = median(one_run_costs);
    return s;
}

std::string format_table(const std::vector<TableRow> &rows) {
    std::string out;
    char line[256];
    // The client columns: guest instructions per emulated instruction, and the same in one run.
    std::snprintf(line, sizeof line, "%-22s %-38s %9s %10s %11s %11s %12s %12s\n", "class",
                  "instruction", "QEMU ns", "handler ns", "lookup+h ns", "engine/QEMU",
                  "client insns", "one run");
    out += line;
    for (const TableRow &row : rows) {
        std::snprintf(line, sizeof line, "%-22s %-38s %9s %10s %11s %11s %12s %12s\n",
                      row.bench_class->name, row.bench_class->assembly,
                      cell(row.qemu_ns, "%.2f").c_str(), cell(row.handler_ns, "%.2f").c_str(),
                      cell(row.engine_ns, "%.2f").c_str(), cell(row.ratio, "%.2f").c_str(),
                      cell(row.client_guest_instructions, "%.0f").c_str(),
                      cell(row.client_guest_instructions_in_one_run, "%.0f").c_str());
        out += line;
    }
    return out;
}

std::string format_summary(const Summary &s, const std::string &client_sequence_line,
                           unsigned long long_iterations) {
    std::string out;
    char line[256];
    if (s.median_ratio) {
        std::snprintf(line, sizeof line, "median engine/QEMU ratio: %.2f\n", *s.median_ratio);
        out += line;
        std::snprintf(line, sizeof line, "worst engine/QEMU ratio: %.2f (%s)\n", *s.worst_ratio,
                      s.worst_class->name);
        out += line;
    }
    out += client_sequence_line;
    if (s.median_client_cost) {
        std::snprintf(line, sizeof line,
                      "client cost: median %.0f guest instructions per emulated instruction\n",
                      *s.median_client_cost);
        out += line;
    }
    if (s.median_client_cost_in_one_run) {
        std::snprintf(line, sizeof line,
                      "client cost in one run of %lu iterations, with what the run pays once: "
                      "median %.0f guest instructions per emulated instruction\n",
                      long_iterations, *s.median_client_cost_in_one_run);
        out += line;
    }
    return out;
}

std::string format_client_sequence(const ResultLines &per_row) {
    std::vector<double> counts;
    for (const auto &entry : per_row)
        counts.push_back(entry.second.front());
    if (counts.empty()) return "";
    char line[160];
    std::snprintf(line, sizeof line,
                  "client sequence: median %.0f, max %.0f inserted instructions\n", *median(counts),
                  *std::max_element(counts.begin(), counts.end()));
    return line;
}

} // namespace ostrel::bench
