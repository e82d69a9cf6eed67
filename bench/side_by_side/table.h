// The side-by-side table: per class, QEMU's time, the engine's two times and their ratio, and,
// when the client was counted, the guest instructions each emulated instruction costs it; then
// the summary lines scripts read.
#pragma once

#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/side_by_side/register_image.h"

namespace ostrel::bench {

// Result lines "ID VALUE [VALUE...]" by ID; a later line for an ID replaces an earlier one.
// Blank lines and lines starting with '#' are skipped; any other line that does not parse is
// named in `error` and parsing stops.
using ResultLines = std::map<std::string, std::vector<double>>;
bool parse_result_lines(std::istream &in, ResultLines &lines, std::string &error);

// The middle value (the mean of the two middle ones for an even count); nullopt when empty.
std::optional<double> median(std::vector<double> values);

// The client's runs of a class's loop and of the NOP loop, each at two lengths, in guest
// instructions. The difference between the lengths leaves out what every run pays once (start-up,
// building the loop's block); the NOP runs' difference is the loop without the emulation.
struct ClientCounts {
    double class_short, class_long;
    double nop_short, nop_long;
};
// Guest instructions per emulated instruction beyond the NOP in its place.
double guest_instructions_per_emulated(const ClientCounts &counts, unsigned long short_iterations,
                                       unsigned long long_iterations);
// The same from the long runs alone: what the run paid once is spread over its instructions.
double guest_instructions_per_emulated_in_one_run(const ClientCounts &counts,
                                                  unsigned long long_iterations);

struct TableRow {
    const BenchClass *bench_class;
    std::optional<double> qemu_ns, handler_ns, engine_ns; // engine = lookup plus handler
    std::optional<double> ratio;                          // engine / QEMU
    std::optional<double> client_guest_instructions;
    std::optional<double> client_guest_instructions_in_one_run;
};

struct Measurements {
    ResultLines qemu;   // ID NS
    ResultLines engine; // ID HANDLER_NS LOOKUP_AND_HANDLER_NS
    // ID SHORT_RUN LONG_RUN per class, and "nop SHORT_RUN LONG_RUN": guest instructions of the
    // client's runs of client_short and client_long iterations.
    ResultLines client;
    unsigned long client_short = 0, client_long = 0;
};

// One row per class of the table, in its order.
std::vector<TableRow> build_rows(const Measurements &m);

struct Summary {
    std::optional<double> median_ratio;
    std::optional<double> worst_ratio;
    const BenchClass *worst_class = nullptr;
    std::optional<double> median_client_cost;
    std::optional<double> median_client_cost_in_one_run;
};
Summary summarise(const std::vector<TableRow> &rows);

std::string format_table(const std::vector<TableRow> &rows);
// "median engine/QEMU ratio: R", "worst engine/QEMU ratio: R (CLASS)", then the client sequence
// line given (format_client_sequence) and, when the client was counted,
// "client cost: median G guest instructions per emulated instruction" and the same from one run
// of `long_iterations` iterations, with what the run pays once.
std::string format_summary(const Summary &s, const std::string &client_sequence_line = "",
                           unsigned long long_iterations = 0);

// From lines "ROW COUNT" (inserted instructions of the client's sequence per decode row):
// "client sequence: median M, max X inserted instructions", or empty when there are none.
std::string format_client_sequence(const ResultLines &per_row);

} // namespace ostrel::bench
