// Cases that address the memory window: loads through SP, stores, faults outside the window and
// first-fault loads at its edge.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/oracle_reference/case_builder.h"
#include "tests/oracle_reference/reference_process.h"
#include "tests/oracle_reference/state_compare.h"

namespace ostrel::oracle::testing {
namespace {

constexpr uint64_t kWindowEnd = kWindowAddress + kWindowBytes;

// Z register `z` loaded as doublewords from the window at `offset` under `pred`.
void expect_ld1d(ArchState &s, unsigned z, const uint8_t *pred, const Window &w, uint64_t offset) {
    for (unsigned e = 0; e < kVectorBytes / 8; ++e)
        store_le(s.z[z] + 8 * e, 8, pred_bit(pred, 8 * e) ? load_le(&w[offset + 8 * e], 8) : 0);
}

TEST(OracleReferenceMemory, Ld1dWithSpAsTheBase) {
    struct Row {
        uint32_t word;
        uint64_t sp_offset;
        uint64_t load_offset; // where the load reads, from the window's start
    };
    const Row rows[] = {
        {word::kLd1dZ7P1Sp, 64, 64},
        {word::kLd1dZ7P1Sp, kWindowBytes - kVectorBytes, kWindowBytes - kVectorBytes},
        {word::kLd1dZ7P1SpPlusVl, 1000, 1000 + kVectorBytes},
    };
    std::mt19937_64 rng(21);
    std::vector<Case> cases;
    std::vector<ArchState> expected;
    std::vector<Window> windows;
    for (const Row &r : rows) {
        ArchState in = random_state(rng);
        in.sp = kWindowAddress + r.sp_offset;
        const Window w = random_window(rng);
        ArchState out = in;
        expect_ld1d(out, 7, in.p[1], w, r.load_offset);
        cases.push_back(make_memory_case(r.word, in, w));
        expected.push_back(out);
        windows.push_back(w);
    }
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(results[i].header.outcome, Outcome::completed);
        EXPECT_EQ(results[i].header.memory_bytes, kWindowBytes);
        EXPECT_TRUE(same_state(expected[i], results[i].header.state));
        EXPECT_TRUE(results[i].window == windows[i]);
    }
}

TEST(OracleReferenceMemory, St1bWritesTheWindow) {
    struct Row {
        uint32_t word;
        uint64_t x5_offset, x6;
    };
    const Row rows[] = {
        {word::kSt1bZ4P2X5, 1000, 0},
        {word::kSt1bZ4P2X5, kWindowBytes - kVectorBytes, 0},
        {word::kSt1bZ4P2X5X6, 5000, 3000},
        {word::kSt1bZ4P2X5X6, 0, 0},
    };
    std::mt19937_64 rng(22);
    std::vector<Case> cases;
    std::vector<Window> windows;
    for (const Row &r : rows) {
        ArchState in = random_state(rng);
        in.x[5] = kWindowAddress + r.x5_offset;
        in.x[6] = r.x6;
        const Window w = random_window(rng);
        Window after = w;
        for (unsigned i = 0; i < kVectorBytes; ++i)
            if (pred_bit(in.p[2], i)) after[r.x5_offset + r.x6 + i] = in.z[4][i];
        cases.push_back(make_memory_case(r.word, in, w));
        windows.push_back(after);
    }
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(results[i].header.outcome, Outcome::completed);
        EXPECT_TRUE(same_state(cases[i].header.state, results[i].header.state));
        ASSERT_EQ(results[i].window.size(), kWindowBytes);
        for (uint64_t b = 0; b < kWindowBytes; ++b)
            ASSERT_EQ(results[i].window[b], windows[i][b]) << "window byte " << b;
    }
}

TEST(OracleReferenceMemory, CasesWithoutMemorySeeAZeroWindow) {
    std::mt19937_64 rng(23);
    ArchState store = random_state(rng);
    store.x[5] = kWindowAddress;
    std::fill(store.p[2], store.p[2] + kPredicateBytes, 0xff);
    ArchState load = random_state(rng);
    load.x[1] = kWindowAddress;
    std::fill(load.p[0], load.p[0] + kPredicateBytes, 0xff);
    const Window window = random_window(rng);

    // A store leaves the window dirty; the next case, without memory, must not see it; the one
    // after that, with memory, sees its own contents.
    const std::vector<Case> cases = {make_memory_case(word::kSt1bZ4P2X5, store, window),
                                     make_case(word::kLd1dZ0P0X1, load),
                                     make_memory_case(word::kLd1dZ0P0X1, load, window)};
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    ArchState zero_loaded = load;
    std::fill(zero_loaded.z[0], zero_loaded.z[0] + kVectorBytes, 0);
    EXPECT_EQ(results[1].header.outcome, Outcome::completed);
    EXPECT_EQ(results[1].header.memory_bytes, 0u);
    EXPECT_TRUE(results[1].window.empty());
    EXPECT_TRUE(same_state(zero_loaded, results[1].header.state));
    ArchState window_loaded = load;
    std::copy(window.begin(), window.begin() + kVectorBytes, window_loaded.z[0]);
    EXPECT_EQ(results[2].header.outcome, Outcome::completed);
    EXPECT_TRUE(same_state(window_loaded, results[2].header.state));
}

TEST(OracleReferenceMemory, AccessesOutsideTheWindowFault) {
    struct Row {
        uint32_t word;
        uint64_t base;
        bool active;
        Outcome outcome;
        uint64_t fault_address;
    };
    const Row rows[] = {
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
    for (const Row &r : rows) {
        ArchState in = random_state(rng);
        in.x[1] = r.base;
        std::fill(in.p[0], in.p[0] + kPredicateBytes, r.active ? 0xff : 0x00);
        cases.push_back(make_memory_case(r.word, in, random_window(rng)));
    }
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const Row &r = rows[i];
        EXPECT_EQ(results[i].header.outcome, r.outcome);
        EXPECT_EQ(results[i].header.fault_address, r.fault_address);
        ArchState expected = cases[i].header.state;
        if (r.outcome == Outcome::completed)
            std::fill(expected.z[0], expected.z[0] + kVectorBytes, 0);
        EXPECT_TRUE(same_state(expected, results[i].header.state));
        // A store stopped at the window's end may have written the elements before the fault;
        // nothing else of the window changes.
        ASSERT_EQ(results[i].window.size(), kWindowBytes);
        EXPECT_TRUE(std::equal(cases[i].window.begin(), cases[i].window.end() - 16,
                               results[i].window.begin()));
    }
}

TEST(OracleReferenceMemory, FirstFaultLoadStopsAtTheWindowsEnd) {
    std::mt19937_64 rng(25);
    constexpr unsigned kInside = 5; // doublewords between the base and the window's end
    ArchState in = random_state(rng);
    in.x[1] = kWindowEnd - 8 * kInside;
    std::fill(in.p[0], in.p[0] + kPredicateBytes, 0xff);
    std::fill(in.ffr, in.ffr + kPredicateBytes, 0xff);
    const Window w = random_window(rng);
    const std::vector<Result> results =
        run_cases(serialize(make_memory_case(word::kLdff1dZ0P0X1, in, w)), 1);
    ASSERT_EQ(results[0].header.outcome, Outcome::completed);
    const ArchState &out = results[0].header.state;

    // FFR keeps a leading run of whole elements: at least the first, none beyond the window.
    unsigned loaded = 0;
    while (loaded < kVectorBytes / 8 && pred_bit(out.ffr, 8 * loaded))
        ++loaded;
    EXPECT_GE(loaded, 1u);
    EXPECT_LE(loaded, kInside);
    for (unsigned i = 0; i < kVectorBytes; ++i)
        EXPECT_EQ(pred_bit(out.ffr, i), i < 8 * loaded) << "FFR bit " << i;
    for (unsigned e = 0; e < loaded; ++e)
        EXPECT_EQ(load_le(out.z[0] + 8 * e, 8), load_le(&w[kWindowBytes - 8 * kInside + 8 * e], 8))
            << "element " << e;

    // Nothing else moved: compare with Z0 and FFR taken from the result.
    ArchState expected = in;
    std::copy(out.z[0], out.z[0] + kVectorBytes, expected.z[0]);
    std::copy(out.ffr, out.ffr + kPredicateBytes, expected.ffr);
    EXPECT_TRUE(same_state(expected, out));
    EXPECT_TRUE(results[0].window == w);
}

} // namespace
} // namespace ostrel::oracle::testing
