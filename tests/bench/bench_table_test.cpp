// The side-by-side table: result files as the two sides write them, the per-class ratios and
// client costs, and the summary lines scripts read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>

#include "bench/side_by_side/table.h"

namespace {

using namespace ostrel::bench;

TEST(BenchTable, ParsesResultLines) {
    const struct {
        const char *text;
        bool ok;
        std::size_t ids;
    } cases[] = {
        {"add 1.5\nmul 2 3\n", true, 2},
        {"# comment\n\nadd 1.5\n", true, 1},
        {"add 1\nadd 2\n", true, 1}, // the later line wins
        {"add\n", false, 0},
        {"add fast\n", false, 0},
        {"add 1.5 slow\n", false, 0},
    };
    for (const auto &c : cases) {
        std::istringstream in(c.text);
        ResultLines lines;
        std::string error;
        EXPECT_EQ(parse_result_lines(in, lines, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(lines.size(), c.ids) << c.text;
        } else {
            EXPECT_FALSE(error.empty()) << c.text;
        }
    }
    std::istringstream in("add 1\nadd 2 7\n");
    ResultLines lines;
    std::string error;
    ASSERT_TRUE(parse_result_lines(in, lines, error));
    EXPECT_EQ(lines["add"], (std::vector<double>{2, 7}));
}

TEST(BenchTable, Median) {
    EXPECT_FALSE(median({}));
    EXPECT_EQ(*median({5}), 5);
    EXPECT_EQ(*median({9, 1, 5}), 5);
    EXPECT_EQ(*median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(*median({7, 7, 1, 100, 7}), 7);
}

// Measurements made up per class from its position, so every row's expected figures follow.
// Client runs: start-up and the block's building cost a fixed amount per run (more with the
// class), the NOP loop 260 guest instructions per iteration, class i 1000 + 10 i more per copy.
constexpr double kNopIteration = 260;

double client_run(double startup, double per_copy, unsigned long iterations) {
    return startup + (kNopIteration + per_copy * OSTREL_BENCH_COPIES) * iterations;
}

Measurements made_up(unsigned long short_iterations, unsigned long long_iterations) {
    Measurements m;
    m.client_short = short_iterations;
    m.client_long = long_iterations;
    m.client["nop"] = {client_run(1e8, 0, short_iterations), client_run(1e8, 0, long_iterations)};
    for (std::size_t i = 0; i < kNumBenchClasses; ++i) {
        const std::string id = kBenchClasses[i].id;
        m.qemu[id] = {10.0 + i};
        m.engine[id] = {3.0 * (i + 1), 3.0 * (i + 1) + 4};
        const double startup = 2e8 + 1e5 * i, per_copy = 1000.0 + 10 * i;
        m.client[id] = {client_run(startup, per_copy, short_iterations),
                        client_run(startup, per_copy, long_iterations)};
    }
    return m;
}

TEST(BenchTable, RowsCarryRatiosAndClientCosts) {
    const Measurements m = made_up(10, 110);
    const std::vector<TableRow> rows = build_rows(m);
    ASSERT_EQ(rows.size(), kNumBenchClasses);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(kBenchClasses[i].id);
        EXPECT_EQ(rows[i].bench_class, &kBenchClasses[i]);
        EXPECT_EQ(*rows[i].qemu_ns, 10.0 + i);
        EXPECT_EQ(*rows[i].handler_ns, 3.0 * (i + 1));
        // The ratio is the trap runner's cost (lookup plus handler) over QEMU's.
        EXPECT_DOUBLE_EQ(*rows[i].ratio, (3.0 * (i + 1) + 4) / (10.0 + i));
        ASSERT_TRUE(rows[i].client_guest_instructions &&
                    rows[i].client_guest_instructions_in_one_run);
        EXPECT_DOUBLE_EQ(*rows[i].client_guest_instructions, 1000.0 + 10 * i);
        // One run spreads what it pays once over its instructions.
        const double once = 2e8 + 1e5 * i - 1e8;
        EXPECT_DOUBLE_EQ(*rows[i].client_guest_instructions_in_one_run,
                         1000.0 + 10 * i + once / (110.0 * OSTREL_BENCH_COPIES));
    }
}

TEST(BenchTable, MissingOrUnusableMeasurementsLeaveCellsEmpty) {
    Measurements m = made_up(10, 110);
    m.qemu.erase("mul");
    m.qemu["tbl"] = {-0.3}; // QEMU's time lost in the noise of the NOP loop
    m.engine.erase("sel");
    m.client["zip1"] = {5e6}; // one length only
    m.client.erase("and_d");
    const std::vector<TableRow> rows = build_rows(m);
    for (const TableRow &row : rows) {
        const std::string id = row.bench_class->id;
        EXPECT_EQ(row.ratio.has_value(), id != "mul" && id != "tbl" && id != "sel") << id;
        EXPECT_EQ(row.client_guest_instructions.has_value(), id != "zip1" && id != "and_d") << id;
    }
    Measurements uncounted = made_up(10, 110);
    uncounted.client_long = uncounted.client_short;
    for (const TableRow &row : build_rows(uncounted))
        EXPECT_FALSE(row.client_guest_instructions);
    Measurements no_nop = made_up(10, 110);
    no_nop.client.erase("nop");
    for (const TableRow &row : build_rows(no_nop))
        EXPECT_FALSE(row.client_guest_instructions);
}

double read_number(const std::string &text, const std::string &pattern, std::string *name) {
    std::smatch match;
    EXPECT_TRUE(std::regex_search(text, match, std::regex(pattern))) << text;
    if (match.empty()) return -1;
    if (name && match.size() > 2) *name = match[2];
    return std::stod(match[1]);
}

TEST(BenchTable, SummaryLinesNameTheMedianAndTheWorst) {
    Measurements m = made_up(10, 110);
    // One class far worse than the rest.
    m.engine["ld2d"] = {900, 1000};
    const std::vector<TableRow> rows = build_rows(m);
    std::vector<double> ratios, costs;
    for (const TableRow &row : rows) {
        ratios.push_back(*row.ratio);
        costs.push_back(*row.client_guest_instructions);
    }
    const Summary s = summarise(rows);
    EXPECT_EQ(s.worst_class, find_bench_class("ld2d"));
    EXPECT_DOUBLE_EQ(*s.worst_ratio, 1000 / *m.qemu["ld2d"].begin());
    EXPECT_DOUBLE_EQ(*s.median_ratio, *median(ratios));
    EXPECT_DOUBLE_EQ(*s.median_client_cost, *median(costs));

    const std::string text = format_summary(s, "", 110);
    std::string worst_name;
    EXPECT_NEAR(read_number(text, "^median engine/QEMU ratio: ([0-9.]+)\n", nullptr),
                *median(ratios), 0.005);
    EXPECT_NEAR(read_number(text, "\nworst engine/QEMU ratio: ([0-9.]+) \\((.*)\\)\n", &worst_name),
                *s.worst_ratio, 0.005);
    EXPECT_EQ(worst_name, find_bench_class("ld2d")->name);
    EXPECT_NEAR(read_number(text,
                            "\nclient cost: median ([0-9]+) guest instructions per emulated "
                            "instruction\n",
                            nullptr),
                *median(costs), 0.5);
    std::vector<double> one_run_costs;
    for (const TableRow &row : rows)
        one_run_costs.push_back(*row.client_guest_instructions_in_one_run);
    EXPECT_NEAR(read_number(text,
                            "\nclient cost in one run of 110 iterations, with what the run pays "
                            "once: median ([0-9]+) guest instructions per emulated instruction\n",
                            nullptr),
                *median(one_run_costs), 0.5);
}

TEST(BenchTable, ClientSequenceLineComesBeforeTheClientCost) {
    const std::string sequence = "client sequence: median 140, max 190 inserted instructions\n";
    const std::string text = format_summary(summarise(build_rows(made_up(10, 110))), sequence);
    const std::size_t worst = text.find("worst engine/QEMU ratio");
    const std::size_t at = text.find(sequence);
    const std::size_t cost = text.find("client cost");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(worst, at);
    EXPECT_LT(at, cost);
}

TEST(BenchTable, SummaryWithoutClientCountsHasNoClientLine) {
    Measurements m = made_up(10, 110);
    m.client.clear();
    const std::string text = format_summary(summarise(build_rows(m)));
    EXPECT_NE(text.find("median engine/QEMU ratio: "), std::string::npos);
    EXPECT_EQ(text.find("client cost"), std::string::npos);
}

TEST(BenchTable, TableHasOneLinePerClass) {
    const std::vector<TableRow> rows = build_rows(made_up(10, 110));
    const std::string table = format_table(rows);
    std::istringstream in(table);
    std::string line;
    std::getline(in, line); // heading
    for (const BenchClass &c : kBenchClasses) {
        ASSERT_TRUE(std::getline(in, line));
        EXPECT_EQ(line.rfind(c.name, 0), 0u) << line;
        EXPECT_NE(line.find(c.assembly), std::string::npos) << line;
    }
    EXPECT_FALSE(std::getline(in, line));
}

TEST(BenchTable, ClientSequenceLine) {
    EXPECT_EQ(format_client_sequence({}), "");
    ResultLines per_row = {{"VecU32AddVVX", {130}},
                           {"VecU64CLoad8SIZ", {150}},
                           {"VecPTestPZ", {120}},
                           {"VecD64SqrtVM", {190}}};
    EXPECT_EQ(format_client_sequence(per_row),
              "client sequence: median 140, max 190 inserted instructions\n");
}

} // namespace
