// Register-only cases on the reference: each result's complete state against an expectation
// computed here, every register the instruction does not write included.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/oracle_reference/case_builder.h"
#include "tests/oracle_reference/reference_process.h"
#include "tests/oracle_reference/state_compare.h"

namespace ostrel::oracle::testing {
namespace {

// Runs `cases` in one process; each must complete with the state `expected` gives.
void expect_completed(const std::vector<Case> &cases, const std::vector<ArchState> &expected) {
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(results[i].header.outcome, Outcome::completed);
        EXPECT_EQ(results[i].header.memory_bytes, 0u);
        EXPECT_TRUE(results[i].window.empty());
        EXPECT_TRUE(same_state(expected[i], results[i].header.state));
    }
}

void add_elements(const uint8_t *a, const uint8_t *b, uint8_t *sum, unsigned element_bytes) {
    for (unsigned e = 0; e < kVectorBytes; e += element_bytes) {
        unsigned carry = 0;
        for (unsigned i = 0; i < element_bytes; ++i) {
            const unsigned s = a[e + i] + b[e + i] + carry;
            sum[e + i] = static_cast<uint8_t>(s);
            carry = s >> 8;
        }
    }
}

TEST(OracleReferenceRegisters, AddVectorsOnRandomContents) {
    struct Row {
        unsigned size, zd, zn, zm;
    };
    const Row rows[] = {{0, 3, 4, 31}, {1, 0, 1, 2},   {2, 31, 0, 17}, {3, 0, 1, 2},
                        {3, 9, 9, 9},  {1, 12, 12, 5}, {0, 30, 7, 30}, {2, 8, 15, 16}};
    std::mt19937_64 rng(11);
    std::vector<Case> cases;
    std::vector<ArchState> expected;
    for (const Row &r : rows) {
        const ArchState in = random_state(rng);
        ArchState out = in;
        add_elements(in.z[r.zn], in.z[r.zm], out.z[r.zd], 1u << r.size);
        cases.push_back(make_case(add_vectors(r.size, r.zd, r.zn, r.zm), in));
        expected.push_back(out);
    }
    expect_completed(cases, expected);
}

TEST(OracleReferenceRegisters, PtruesSetsThePredicateAndTheFlags) {
    // Element counts worked out by hand for 192-byte vectors.
    struct Row {
        unsigned size, pd, pattern, count;
    };
    const Row rows[] = {
        {2, 3, pattern::kVl7, 7},   {0, 0, pattern::kVl256, 0}, {3, 15, pattern::kPow2, 16},
        {1, 1, pattern::kMul3, 96}, {3, 2, pattern::kMul4, 24}, {0, 7, pattern::kAll, 192},
        {1, 5, pattern::kPow2, 64}, {2, 9, pattern::kAll, 48},
    };
    std::mt19937_64 rng(12);
    std::vector<Case> cases;
    std::vector<ArchState> expected;
    for (const Row &r : rows) {
        const ArchState in = random_state(rng);
        ArchState out = in;
        const Pred p = first_elements(1u << r.size, r.count);
        std::copy(p.begin(), p.end(), out.p[r.pd]);
        // PTRUES tests its result under itself: the last active element is always true.
        out.nzcv = r.count > 0 ? kN : kZ | kC;
        cases.push_back(make_case(ptrues(r.size, r.pd, r.pattern), in));
        expected.push_back(out);
    }
    expect_completed(cases, expected);
}

TEST(OracleReferenceRegisters, WhileloOnXRegisters) {
    struct Row {
        unsigned size, pd, xn, xm;
        uint64_t n, m;
        unsigned count;
    };
    const Row rows[] = {
        {2, 2, 3, 4, 5, 10, 5},
        {2, 2, 3, 4, 0, 1000, 48},
        {2, 2, 3, 4, 10, 5, 0},
        {0, 15, 30, 29, ~0ull - 2, ~0ull, 2},
        {3, 0, 0, 1, 100, 123, 23},
        {3, 0, 0, 1, 7, 7, 0},
        {1, 6, 20, 21, 1ull << 63, (1ull << 63) + 95, 95},
    };
    std::mt19937_64 rng(13);
    std::vector<Case> cases;
    std::vector<ArchState> expected;
    for (const Row &r : rows) {
        ArchState in = random_state(rng);
        in.x[r.xn] = r.n;
        in.x[r.xm] = r.m;
        ArchState out = in;
        const Pred p = first_elements(1u << r.size, r.count);
        std::copy(p.begin(), p.end(), out.p[r.pd]);
        out.nzcv = prefix_flags(r.count, kVectorBytes >> r.size);
        cases.push_back(make_case(whilelo_x(r.size, r.pd, r.xn, r.xm), in));
        expected.push_back(out);
    }
    expect_completed(cases, expected);
}

TEST(OracleReferenceRegisters, X30AndSpAsResults) {
    struct Row {
        uint32_t word;
        std::function<void(ArchState &)> effect;
    };
    const Row rows[] = {
        {word::kCntdX30, [](ArchState &s) { s.x[30] = 24; }},
        {word::kIncbX30, [](ArchState &s) { s.x[30] += 192; }},
        {word::kRdvlX30Times3, [](ArchState &s) { s.x[30] = 576; }},
        {word::kAddvlSpSp1, [](ArchState &s) { s.sp += 192; }},
        {word::kAddvlX30SpMinus2, [](ArchState &s) { s.x[30] = s.sp - 384; }},
    };
    std::mt19937_64 rng(14);
    std::vector<Case> cases;
    std::vector<ArchState> expected;
    for (const Row &r : rows) {
        const ArchState in = random_state(rng);
        ArchState out = in;
        r.effect(out);
        cases.push_back(make_case(r.word, in));
        expected.push_back(out);
    }
    expect_completed(cases, expected);
}

TEST(OracleReferenceRegisters, UntouchedRegistersComeBackUnchanged) {
    // Instructions with one small, known effect, each on several fully random states.
    struct Row {
        uint32_t word;
        std::function<void(ArchState &)> effect;
    };
    const Row rows[] = {
        {word::kCntbX0, [](ArchState &s) { s.x[0] = 192; }},
        {word::kPtrueP3B, [](ArchState &s) { std::fill(s.p[3], s.p[3] + kPredicateBytes, 0xff); }},
        {word::kSetffr, [](ArchState &s) { std::fill(s.ffr, s.ffr + kPredicateBytes, 0xff); }},
    };
    std::mt19937_64 rng(15);
    std::vector<Case> cases;
    std::vector<ArchState> expected;
    for (int round = 0; round < 6; ++round) {
        for (const Row &r : rows) {
            const ArchState in = random_state(rng);
            ArchState out = in;
            r.effect(out);
            cases.push_back(make_case(r.word, in));
            expected.push_back(out);
        }
    }
    expect_completed(cases, expected);
}

TEST(OracleReferenceRegisters, FfrIsEachCasesOwn) {
    std::mt19937_64 rng(16);
    std::vector<Case> cases;
    std::vector<ArchState> expected;

    // SETFFR, then RDFFR of a case whose own FFR is not all true: it must read that one.
    ArchState in = random_state(rng);
    ArchState out = in;
    std::fill(out.ffr, out.ffr + kPredicateBytes, 0xff);
    cases.push_back(make_case(word::kSetffr, in));
    expected.push_back(out);

    in = random_state(rng);
    in.ffr[5] = 0x00;
    out = in;
    std::copy(in.ffr, in.ffr + kPredicateBytes, out.p[5]);
    cases.push_back(make_case(word::kRdffrP5, in));
    expected.push_back(out);

    // RDFFRS: FFR under P6, flags over P6's active bytes; also with no byte active.
    for (int round = 0; round < 4; ++round) {
        in = random_state(rng);
        if (round == 3) std::fill(in.p[6], in.p[6] + kPredicateBytes, 0);
        out = in;
        int first = -1, last = -1;
        bool any = false;
        for (unsigned i = 0; i < kVectorBytes; ++i) {
            const bool g = pred_bit(in.p[6], i);
            const bool v = g && pred_bit(in.ffr, i);
            set_pred_bit(out.p[5], i, v);
            if (g && first < 0) first = static_cast<int>(i);
            if (g) last = static_cast<int>(i);
            any = any || v;
        }
        out.nzcv = (first >= 0 && pred_bit(out.p[5], first) ? kN : 0) | (any ? 0 : kZ) |
                   (last >= 0 && pred_bit(out.p[5], last) ? 0 : kC);
        cases.push_back(make_case(word::kRdffrsP5P6, in));
        expected.push_back(out);
    }
    expect_completed(cases, expected);
}

TEST(OracleReferenceRegisters, UnallocatedEncodingsAreUndefined) {
    const uint32_t words[] = {word::kUdf0, word::kUnallocatedIntBinary,
                              word::kUnallocatedPredicate};
    std::mt19937_64 rng(17);
    std::vector<Case> cases;
    for (uint32_t w : words)
        cases.push_back(make_case(w, random_state(rng)));
    // A completed case after them: the runner recovers with its own state intact.
    cases.push_back(make_case(word::kCntbX0, random_state(rng)));
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    for (std::size_t i = 0; i < std::size(words); ++i) {
        SCOPED_TRACE("word " + std::to_string(words[i]));
        EXPECT_EQ(results[i].header.outcome, Outcome::undefined);
        EXPECT_EQ(results[i].header.fault_address, 0u);
        EXPECT_TRUE(same_state(cases[i].header.state, results[i].header.state));
    }
    ArchState after = cases.back().header.state;
    after.x[0] = 192;
    EXPECT_EQ(results.back().header.outcome, Outcome::completed);
    EXPECT_TRUE(same_state(after, results.back().header.state));
}

} // namespace
} // namespace ostrel::oracle::testing
