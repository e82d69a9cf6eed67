// ostrel-decode as a user runs it.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "sve/decode/decode_rows.h"
#include "tests/support/run_program.h"

using ostrel::testing::run_program;
using ostrel::testing::split_lines;

namespace {

TEST(OstrelDecode, OneLinePerWordWithDashForUnknown) {
    const auto r = run_program(OSTREL_DECODE_PROGRAM, {"0x04400483", "d503201f", "2518E40F", "0"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "04400483 VecU16AddVVM\n"
                     "d503201f -\n"
                     "2518e40f VecPFalse\n"
                     "00000000 -\n");
    EXPECT_EQ(r.err, "");
}

TEST(OstrelDecode, BadWordsAreReportedAndTheRestStillDecoded) {
    const auto r = run_program(OSTREL_DECODE_PROGRAM, {"xyz", "252c9000", "123456789", "0x"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "252c9000 VecPClearFFSR\n");
    EXPECT_EQ(split_lines(r.err).size(), 3u);
    EXPECT_NE(r.err.find("'xyz'"), std::string::npos);
}

TEST(OstrelDecode, UsageErrors) {
    EXPECT_EQ(run_program(OSTREL_DECODE_PROGRAM, {}).exit_status, 2);
    EXPECT_EQ(run_program(OSTREL_DECODE_PROGRAM, {"--list", "extra"}).exit_status, 2);
}

TEST(OstrelDecode, StatusCountsEveryRowOnce) {
    const auto r = run_program(OSTREL_DECODE_PROGRAM, {"--status"});
    ASSERT_EQ(r.exit_status, 0);
    std::size_t total = 0, built = 0;
    for (const auto &row : ostrel::kDecodeRows)
        built += row.state == ostrel::RowState::built;
    for (const std::string &line : split_lines(r.out)) {
        if (line.rfind("no layout: ", 0) == 0) continue;
        const std::size_t n = std::stoul(line.substr(line.find_last_of(' ') + 1));
        total += n;
        if (line.rfind("built", 0) == 0) {
            EXPECT_EQ(n, built);
        }
    }
    EXPECT_EQ(total, ostrel::kNumRows);
}

TEST(OstrelDecode, ListHasEveryRowAndItsLookupAgrees) {
    const auto r = run_program(OSTREL_DECODE_PROGRAM, {"--list"});
    ASSERT_EQ(r.exit_status, 0);
    const auto lines = split_lines(r.out);
    ASSERT_EQ(lines.size(), ostrel::kNumRows);
    std::set<std::string> names;
    for (const std::string &line : lines) {
        std::istringstream in(line);
        std::string name, table, key, road, extra;
        in >> name >> table >> key >> road;
        EXPECT_FALSE(in >> extra) << line;
        ASSERT_FALSE(road.empty()) << line;
        names.insert(name);
        // The listed key, spread by the listed table's rule, decodes back to the listed row.
        const ostrel::DecodeTable *rule = nullptr;
        for (const auto &t : ostrel::kDecodeTables)
            if (table == t.name) rule = &t;
        ASSERT_NE(rule, nullptr) << line;
        const uint32_t enc = rule->spread(static_cast<uint32_t>(std::stoul(key, nullptr, 16)));
        const ostrel::DecodeRow *row = ostrel::find_decode_row(enc);
        ASSERT_NE(row, nullptr) << line;
        EXPECT_EQ(name, row->name);
        const bool executor = road.rfind("executor", 0) == 0;
        EXPECT_EQ(executor, road.find(':') != std::string::npos) << line;
        if (executor) {
            EXPECT_EQ(road.substr(road.find(':') + 1), row->target) << line;
        }
    }
    EXPECT_EQ(names.size(), ostrel::kNumRows);
}

} // namespace
