// The reference runner as the oracle drives it: how it starts and ends, malformed input, and that
// each case's answer is that case's own state after exactly the instruction: every register the
// instruction does not write comes back unchanged, the memory window is written where the
// instruction stores and accesses outside it fault, and unallocated words are undefined.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/oracle_reference/case_builder.h"
#include "tests/oracle_reference/reference_process.h"
#include "tests/oracle_reference/state_compare.h"

namespace ostrel::oracle::testing {
namespace {

constexpr uint64_t kWindowEnd = kWindowAddress + kWindowBytes;

std::size_t line_count(const std::string &text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(ReferenceRunner, StartAndEnd) {
    const std::string cntb = serialize(make_case(word::kCntbX0, zero_state()));
    Case odd_length = make_case(word::kCntbX0, zero_state());
    odd_length.header.vector_bits = 100;
    struct Row {
        const char *what;
        std::vector<std::string> command;
        std::string input;
        int exit_status;
        std::size_t results;
    } rows[] = {
        {"empty input", reference_command(), "", 0, 0},
        {"no SVE",
         {"qemu-aarch64", "-cpu", "neoverse-n1", "-L", OSTREL_TEST_SYSROOT, OSTREL_ORACLE_REF},
         cntb,
         2,
         0},
        // qemu's max CPU starts programs at 64-byte vectors unless told otherwise.
        {"another vector length",
         {"qemu-aarch64", "-cpu", "max", "-L", OSTREL_TEST_SYSROOT, OSTREL_ORACLE_REF},
         cntb,
         0,
         1},
        {"a length no processor has", reference_command(), cntb + serialize(odd_length), 2, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const RunnerOutput r = run_command(row.command, row.input);
        EXPECT_EQ(r.exit_status, row.exit_status) << r.err;
        const std::vector<Result> results = parse_results(r.out);
        ASSERT_EQ(results.size(), row.results);
        EXPECT_EQ(line_count(r.err), row.exit_status == 0 ? 0u : 1u) << r.err;
        if (row.results) {
            EXPECT_EQ(results[0].header.state.x[0], kTestVectorBytes);
        }
    }
}

TEST(ReferenceRunner, MalformedRecordsStopIt) {
    std::mt19937_64 rng(31);
    const std::string good = serialize(make_case(word::kCntbX0, random_state(rng)));
    auto with = [&](const std::function<void(Case &)> &change) {
        Case c = make_memory_case(word::kLd1dZ0P0X1, random_state(rng), random_window(rng));
        change(c);
        return serialize(c);
    };
    const std::string memory_case = with([](Case &) {});
    const struct {
        const char *what;
        std::string input;
        std::size_t results; // answered before the bad record
    } rows[] = {
        {"bad magic", good + with([](Case &c) { c.header.magic = kResultMagic; }), 1},
        {"truncated header", good + good.substr(0, 100), 1},
        {"truncated window", memory_case.substr(0, memory_case.size() - 1), 0},
        {"odd memory size", with([](Case &c) { c.header.memory_bytes = 100; }), 0},
        {"system call", good + with([](Case &c) { c.header.encoding = 0xd4000001; }), 1},
        {"branch", with([](Case &c) { c.header.encoding = 0x14000000; }), 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const RunnerOutput r = run_command(reference_command(), row.input);
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(parse_results(r.out).size(), row.results);
        EXPECT_EQ(line_count(r.err), 1u) << r.err;
    }
}

// Instructions with one small, known effect, each on fully random states in one process;
// unallocated words in between must leave everything alone.
TEST(ReferenceRunner, EachCaseIsItsOwnStateAfterTheInstruction) {
    const struct {
        uint32_t word;
        Outcome outcome;
        std::function<void(ArchState &)> effect;
    } rows[] = {
        {word::kCntbX0, Outcome::completed, [](ArchState &s) { s.x[0] = kTestVectorBytes; }},
        {word::kCntdX30, Outcome::completed, [](ArchState &s) { s.x[30] = kTestVectorBytes / 8; }},
        {word::kAddvlSpSp1, Outcome::completed, [](ArchState &s) { s.sp += kTestVectorBytes; }},
        {word::kAddvlX30SpMinus2, Outcome::completed,
         [](ArchState &s) { s.x[30] = s.sp - 2 * kTestVectorBytes; }},
        {word::kPtrueP3B, Outcome::completed,
         [](ArchState &s) { std::fill(s.p[3], s.p[3] + kTestPredicateBytes, 0xff); }},
        {word::kSetffr, Outcome::completed,
         [](ArchState &s) { std::fill(s.ffr, s.ffr + kTestPredicateBytes, 0xff); }},
        {word::kUdf0, Outcome::undefined, [](ArchState &) {}},
        {word::kUnallocatedIntBinary, Outcome::undefined, [](ArchState &) {}},
        {word::kUnallocatedPredicate, Outcome::undefined, [](ArchState &) {}},
    };
    std::mt19937_64 rng(15);
    std::vector<Case> cases;
    for (int round = 0; round < 3; ++round)
        for (const auto &r : rows)
            cases.push_back(make_case(r.word, random_state(rng)));
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto &row = rows[i % std::size(rows)];
        SCOPED_TRACE("case " + std::to_string(i));
        ArchState want = cases[i].header.state;
        row.effect(want);
        EXPECT_EQ(results[i].header.outcome, row.outcome);
        EXPECT_EQ(results[i].header.fault_address, 0u);
        EXPECT_TRUE(results[i].window.empty());
        EXPECT_TRUE(same_state(want, results[i].header.state));
    }
}

// Cases at different lengths in one process: each runs at its own, and every register keeps its
// place in the record whatever the length (the record's strides are those of the longest one).
TEST(ReferenceRunner, EachCaseRunsAtItsOwnLength) {
    const unsigned lengths[] = {16, 64, 256, 32, kTestVectorBytes};
    const struct {
        uint32_t word;
        std::function<void(ArchState &, unsigned bytes)> effect;
    } rows[] = {
        {word::kCntbX0, [](ArchState &s, unsigned bytes) { s.x[0] = bytes; }},
        {word::kAddvlX30SpMinus2, [](ArchState &s, unsigned bytes) { s.x[30] = s.sp - 2 * bytes; }},
        {word::kPtrueP3B,
         [](ArchState &s, unsigned bytes) { std::fill(s.p[3], s.p[3] + bytes / 8, 0xff); }},
        {word::kSetffr,
         [](ArchState &s, unsigned bytes) { std::fill(s.ffr, s.ffr + bytes / 8, 0xff); }},
    };
    std::mt19937_64 rng(40);
    std::vector<Case> cases;
    for (unsigned bytes : lengths)
        for (const auto &r : rows)
            cases.push_back(make_case(r.word, random_state(rng, bytes), bytes));
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const unsigned bytes = lengths[i / std::size(rows)];
        SCOPED_TRACE("case " + std::to_string(i) + " at " + std::to_string(bytes) + " bytes");
        ArchState want = cases[i].header.state;
        rows[i % std::size(rows)].effect(want, bytes);
        EXPECT_EQ(results[i].header.outcome, Outcome::completed);
        EXPECT_TRUE(same_state(want, results[i].header.state));
    }
}

// ST1B writes the active bytes of Z4 at X5 (+ X6); a case without memory then sees a zero window,
// not the dirty one; a load sees its own case's window.
TEST(ReferenceRunner, TheWindowIsEachCasesOwn) {
    std::mt19937_64 rng(22);
    const struct {
        uint32_t word;
        uint64_t x5_offset, x6;
    } stores[] = {
        {word::kSt1bZ4P2X5, 1000, 0},
        {word::kSt1bZ4P2X5, kWindowBytes - kTestVectorBytes, 0},
        {word::kSt1bZ4P2X5X6, 5000, 3000},
    };
    std::vector<Case> cases;
    std::vector<Window> windows;
    for (const auto &r : stores) {
        ArchState in = random_state(rng);
        in.x[5] = kWindowAddress + r.x5_offset;
        in.x[6] = r.x6;
        const Window w = random_window(rng);
        Window after = w;
        for (unsigned i = 0; i < kTestVectorBytes; ++i)
            if (pred_bit(in.p[2], i)) after[r.x5_offset + r.x6 + i] = in.z[4][i];
        cases.push_back(make_memory_case(r.word, in, w));
        windows.push_back(after);
    }
    ArchState load = random_state(rng);
    load.x[1] = kWindowAddress;
    std::fill(load.p[0], load.p[0] + kTestPredicateBytes, 0xff);
    const Window window = random_window(rng);
    cases.push_back(make_case(word::kLd1dZ0P0X1, load));
    cases.push_back(make_memory_case(word::kLd1dZ0P0X1, load, window));

    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < std::size(stores); ++i) {
        SCOPED_TRACE("store " + std::to_string(i));
        EXPECT_EQ(results[i].header.outcome, Outcome::completed);
        EXPECT_TRUE(same_state(cases[i].header.state, results[i].header.state));
        EXPECT_TRUE(results[i].window == windows[i]);
    }
    ArchState zero_loaded = load, window_loaded = load;
    std::fill(zero_loaded.z[0], zero_loaded.z[0] + kTestVectorBytes, 0);
    std::copy(window.begin(), window.begin() + kTestVectorBytes, window_loaded.z[0]);
    EXPECT_EQ(results[3].header.memory_bytes, 0u);
    EXPECT_TRUE(same_state(zero_loaded, results[3].header.state));
    EXPECT_TRUE(same_state(window_loaded, results[4].header.state));
}

TEST(ReferenceRunner, AccessesOutsideTheWindowFault) {
    const struct {
        uint32_t word;
        uint64_t base;
        bool active;
        Outcome outcome;
        uint64_t fault_address;
    } rows[] = {
        {word::kLd1dZ0P0X1, 0x1000, true, Outcome::faulted, 0x1000},
        {word::kLd1dZ0P0X1, kWindowEnd - 16, true, Outcome::faulted, kWindowEnd},
        {word::kLd1dZ0P0X1, kWindowAddress - 8, true, Outcome::faulted, kWindowAddress - 8},
        {word::kLd1dZ0P0X1, 0x1000, false, Outcome::completed, 0},     // nothing active: no access
        {word::kLdff1dZ0P0X1, 0x2008, true, Outcome::faulted, 0x2008}, // the first element faults
        {word::kSt1dZ0P0X1, kWindowEnd - 16, true, Outcome::faulted, kWindowEnd},
        {word::kSt1dZ0P0X1, kWindowAddress - 4096, true, Outcome::faulted, kWindowAddress - 4096},
    };
    std::mt19937_64 rng(24);
    std::vector<Case> cases;
    for (const auto &r : rows) {
        ArchState in = random_state(rng);
        in.x[1] = r.base;
        std::fill(in.p[0], in.p[0] + kTestPredicateBytes, r.active ? 0xff : 0x00);
        cases.push_back(make_memory_case(r.word, in, random_window(rng)));
    }
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(results[i].header.outcome, rows[i].outcome);
        EXPECT_EQ(results[i].header.fault_address, rows[i].fault_address);
        ArchState want = cases[i].header.state;
        if (rows[i].outcome == Outcome::completed)
            std::fill(want.z[0], want.z[0] + kTestVectorBytes, 0);
        EXPECT_TRUE(same_state(want, results[i].header.state));
        // A store stopped at the window's end may have written the elements before the fault;
        // nothing else of the window changes.
        ASSERT_EQ(results[i].window.size(), kWindowBytes);
        EXPECT_TRUE(std::equal(cases[i].window.begin(), cases[i].window.end() - 16,
                               results[i].window.begin()));
    }
}

} // namespace
} // namespace ostrel::oracle::testing
