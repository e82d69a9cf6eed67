// The comparator must notice a single wrong bit anywhere in the state it checks, name where it
// is, and accept results that are equal.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "tests/oracle/oracle_test_rows.h"
#include "tools/oracle/case_generator.h"
#include "tools/oracle/comparator.h"

namespace ostrel::oracle {
namespace {

using testing::row_named;

Result completed_result(const Case &c) {
    Result r;
    r.header.magic = kResultMagic;
    r.header.outcome = Outcome::completed;
    r.header.memory_bytes = c.header.memory_bytes;
    r.header.state = c.header.state;
    r.memory = c.memory;
    return r;
}

struct Injection {
    const char *what;
    std::function<void(Result &)> inject;
    std::string expected; // the difference's text
};

std::string hex(uint64_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(value));
    return buf;
}
// How the comparator names a byte of the window.
std::string window_byte(uint64_t offset) {
    return "memory[0x" + hex(kWindowAddress + offset) + "]";
}

// Element indices follow the row's element size: halfwords for a U16 row, bytes of memory.
TEST(Comparator, NamesTheFirstInjectedDifference) {
    const DecodeRow &row = row_named("VecU16CLoad2LSSZ");
    const Case c = generate_case(row, 7, 0);
    ASSERT_EQ(c.memory.size(), kWindowBytes);
    const Injection injections[] = {
        {"a result element",
         [](Result &r) {
             r.header.state.z[5][6] = 0x34; // z5[3], low byte
             r.header.state.z[5][7] = 0x12;
         },
         "z5[3]: reference 0x"},
        {"a predicate bit",
         [](Result &r) {
             set_packed_bit(r.header.state.p[2], 9, !packed_bit(r.header.state.p[2], 9));
         },
         "p2[4] (bit 9): reference "},
        {"an FFR bit",
         [](Result &r) {
             set_packed_bit(r.header.state.ffr, 191, !packed_bit(r.header.state.ffr, 191));
         },
         "ffr[95] (bit 191): reference "},
        {"a flag", [](Result &r) { r.header.state.nzcv ^= 1u << 29; }, "nzcv: reference 0x"},
        {"a cumulative FP flag", [](Result &r) { r.header.state.fpsr ^= 1u << 4; },
         "fpsr: reference 0x"},
        {"a general register", [](Result &r) { r.header.state.x[30] ^= 1ull << 63; },
         "x30: reference 0x"},
        {"the stack pointer", [](Result &r) { r.header.state.sp += 16; }, "sp: reference 0x"},
        {"a memory byte", [](Result &r) { r.memory[0x123] ^= 0x80; },
         window_byte(0x123) + ": reference 0x"},
    };
    for (const Injection &inj : injections) {
        SCOPED_TRACE(inj.what);
        const Result reference = completed_result(c);
        Result engine = completed_result(c);
        inj.inject(engine);
        const CaseJudgement j = judge_case(row, c, reference, engine, {});
        EXPECT_EQ(j.verdict, Verdict::mismatch);
        EXPECT_EQ(j.difference.rfind(inj.expected, 0), 0u) << j.difference;
        // The same difference is found whichever side carries it.
        const CaseJudgement swapped = judge_case(row, c, engine, reference, {});
        EXPECT_EQ(swapped.verdict, Verdict::mismatch);
    }
}

TEST(Comparator, ShowsBothValuesOfTheDifferingElement) {
    const DecodeRow &row = row_named("VecU16CLoad2LSSZ");
    const Case c = generate_case(row, 7, 1);
    Result reference = completed_result(c), engine = completed_result(c);
    reference.header.state.z[31][190] = 0xcd; // z31[95]
    reference.header.state.z[31][191] = 0xab;
    engine.header.state.z[31][190] = 0x01;
    engine.header.state.z[31][191] = 0x00;
    EXPECT_EQ(judge_case(row, c, reference, engine, {}).difference,
              "z31[95]: reference 0xabcd, engine 0x0001");
    reference.memory[kWindowBytes - 1] = 0x5a;
    engine = reference;
    engine.memory[kWindowBytes - 1] = 0xa5;
    EXPECT_EQ(judge_case(row, c, reference, engine, {}).difference,
              window_byte(kWindowBytes - 1) + ": reference 0x5a, engine 0xa5");
}

TEST(Comparator, AcceptsEqualStates) {
    for (const char *name : {"VecU16CLoad2LSSZ", "VecF32AddVVM", "VecPClearFFSR"}) {
        const DecodeRow &row = row_named(name);
        for (uint32_t k = 0; k < 4; ++k) {
            const Case c = generate_case(row, 3, k);
            const CaseJudgement j =
                judge_case(row, c, completed_result(c), completed_result(c), {});
            EXPECT_EQ(j.verdict, Verdict::equal) << name << ": " << j.difference;
        }
    }
}

// Outcomes other than completion decide the verdict before any state is compared.
TEST(Comparator, JudgesOutcomes) {
    const DecodeRow &row = row_named("VecF32AddVVM");
    const Case c = generate_case(row, 5, 0);
    struct Row {
        Outcome reference, engine;
        Verdict verdict;
        std::string difference_start;
    };
    const Row table[] = {
        {Outcome::undefined, Outcome::completed, Verdict::skipped, ""},
        {Outcome::undefined, Outcome::unimplemented, Verdict::skipped, ""},
        {Outcome::completed, Outcome::unimplemented, Verdict::unimplemented, ""},
        {Outcome::completed, Outcome::no_handler, Verdict::mismatch, "engine has no handler"},
        {Outcome::faulted, Outcome::faulted, Verdict::equal, ""},
        {Outcome::faulted, Outcome::completed, Verdict::mismatch,
         "reference faulted at 0x" + hex(kWindowAddress)},
        {Outcome::completed, Outcome::faulted, Verdict::mismatch,
         "engine faulted at 0x" + hex(kWindowAddress)},
        {Outcome::unimplemented, Outcome::completed, Verdict::mismatch,
         "reference reported unimplemented"},
    };
    for (const Row &t : table) {
        Result reference = completed_result(c), engine = completed_result(c);
        reference.header.outcome = t.reference;
        engine.header.outcome = t.engine;
        reference.header.fault_address = engine.header.fault_address = kWindowAddress;
        engine.header.state.z[0][0] ^= 1; // ignored unless both completed
        const CaseJudgement j = judge_case(row, c, reference, engine, {});
        EXPECT_EQ(j.verdict, t.verdict)
            << outcome_name(t.reference) << " / " << outcome_name(t.engine);
        EXPECT_EQ(j.difference.rfind(t.difference_start, 0), 0u) << j.difference;
    }
}

} // namespace
} // namespace ostrel::oracle
