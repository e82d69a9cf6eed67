// The register sets the client copies around an emulated instruction. Over every row, random
// states (the oracle's cases, with memory operands placed in its window) are run twice: once as
// generated and once with everything outside the read set changed. Both runs must agree, and
// neither may change anything outside the write set. Shrunken sets must be caught by the same
// check, and a few instructions' sets are spelled out from the architecture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sve/decode/register_sets.h"
#include "tests/oracle/oracle_test_rows.h"
#include "tools/oracle/case_generator.h"
#include "tools/oracle/engine.h"
#include "tools/oracle/value_source.h"

namespace ostrel {
namespace {

using oracle::ArchState;
using oracle::Case;
using oracle::Outcome;
using oracle::Result;
using oracle::Rng;
using oracle::testing::row_named;

constexpr unsigned kCopiedZBytes = 16; // the NEON view of a Z register
constexpr uint32_t kFpsrBits = 0x0800009fu;

class RegisterSetCheck : public ::testing::Test {
  protected:
    // The window is mapped once for the whole process.
    static void SetUpTestSuite() {
        static std::string error;
        static const bool prepared = oracle::prepare_engine(error);
        ASSERT_TRUE(prepared) << error;
    }
};

uint64_t other_than(Rng &rng, uint64_t old) {
    uint64_t v = rng.next();
    return v == old ? ~old : v;
}

// `c` with every copied register outside `read` changed.
Case perturbed_outside(const Case &c, const RegisterSet &read, Rng &rng) {
    Case p = c;
    ArchState &s = p.header.state;
    for (unsigned n = 0; n < kNumXRegs; ++n)
        if (!read.has_x(n)) s.x[n] = other_than(rng, s.x[n]);
    if (!read.sp) s.sp = other_than(rng, s.sp);
    if (!read.nzcv) s.nzcv = (s.nzcv ^ (static_cast<uint32_t>(1 + rng.below(15)) << 28));
    if (!read.fpsr) s.fpsr = (s.fpsr ^ static_cast<uint32_t>(other_than(rng, 0))) & kFpsrBits;
    for (unsigned n = 0; n < kNumZRegs; ++n)
        if (!read.has_z(n))
            for (unsigned b = 0; b < kCopiedZBytes; ++b)
                s.z[n][b] = static_cast<uint8_t>(s.z[n][b] ^ (1 + rng.below(255)));
    return p;
}

bool same_low_z(const ArchState &a, const ArchState &b, unsigned n) {
    return std::memcmp(a.z[n], b.z[n], kCopiedZBytes) == 0;
}

// What goes wrong in one run pair, or "" when nothing does.
std::string compare_runs(const ArchState &in1, const Result &r1, const ArchState &in2,
                         const Result &r2, const RegisterSet &write) {
    const ArchState &o1 = r1.header.state, &o2 = r2.header.state;
    std::string bad;
    const auto note = [&bad](const std::string &what) { bad += (bad.empty() ? "" : ", ") + what; };
    // Copied registers: equal results where written, untouched elsewhere.
    for (unsigned n = 0; n < kNumXRegs; ++n) {
        const std::string x = "x" + std::to_string(n);
        if (write.has_x(n) && o1.x[n] != o2.x[n]) note(x + " depends on the unread registers");
        if (!write.has_x(n) && (o1.x[n] != in1.x[n] || o2.x[n] != in2.x[n]))
            note(x + " changed outside the write set");
    }
    if (write.sp && o1.sp != o2.sp) note("sp depends on the unread registers");
    if (!write.sp && (o1.sp != in1.sp || o2.sp != in2.sp)) note("sp changed");
    if (write.nzcv && o1.nzcv != o2.nzcv) note("nzcv depends on the unread registers");
    if (!write.nzcv && (o1.nzcv != in1.nzcv || o2.nzcv != in2.nzcv)) note("nzcv changed");
    if (write.fpsr && o1.fpsr != o2.fpsr) note("fpsr depends on the unread registers");
    if (!write.fpsr && (o1.fpsr != in1.fpsr || o2.fpsr != in2.fpsr)) note("fpsr changed");
    for (unsigned n = 0; n < kNumZRegs; ++n) {
        const std::string z = "z" + std::to_string(n);
        if (write.has_z(n) && !same_low_z(o1, o2, n)) note(z + " depends on the unread registers");
        if (!write.has_z(n) && (!same_low_z(o1, in1, n) || !same_low_z(o2, in2, n)))
            note(z + " changed outside the write set");
        // What the file alone keeps must not depend on what was not read either.
        if (std::memcmp(o1.z[n] + kCopiedZBytes, o2.z[n] + kCopiedZBytes,
                        sizeof o1.z[n] - kCopiedZBytes) != 0)
            note(z + "'s upper bytes depend on the unread registers");
    }
    if (std::memcmp(o1.p, o2.p, sizeof o1.p) != 0 || std::memcmp(o1.ffr, o2.ffr, sizeof o1.ffr))
        note("a predicate depends on the unread registers");
    if (r1.memory != r2.memory) note("memory depends on the unread registers");
    return bad;
}

// Runs `c` and a copy perturbed outside `sets.read`; "" when the sets hold for this case.
std::string check_case(const Case &c, const RegisterSets &sets, Rng &rng) {
    const Case p = perturbed_outside(c, sets.read, rng);
    const Result r1 = oracle::run_engine_case(c);
    const Result r2 = oracle::run_engine_case(p);
    if (r1.header.outcome != r2.header.outcome ||
        r1.header.fault_address != r2.header.fault_address)
        return "the outcome depends on the unread registers";
    // A fault outside a guarded read ends the process: no register reaches the program.
    if (r1.header.outcome != Outcome::completed) return "";
    return compare_runs(c.header.state, r1, p.header.state, r2, sets.write);
}

// The first failing case of `row` among `cases`, described, or "".
std::string check_row(const DecodeRow &row, uint32_t cases, uint64_t seed,
                      RegisterSets (*sets_of)(const DecodeRow &, uint32_t)) {
    Rng rng(oracle::mix_seed(seed, row.key, static_cast<uint64_t>(row.table)));
    for (uint32_t i = 0; i < cases; ++i) {
        const Case c = oracle::generate_case(row, seed, i);
        const uint32_t word = c.header.encoding;
        if (find_decode_row(word) != &row) continue; // the generator found no word of its own
        const RegisterSets sets = sets_of(row, word);
        const std::string bad = check_case(c, sets, rng);
        if (!bad.empty()) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%08x", word);
            return std::string(row.name) + " " + hex + " (" + row.describe_operands(word) +
                   ") read {" + describe(sets.read) + "} write {" + describe(sets.write) +
                   "}: " + bad;
        }
    }
    return "";
}

RegisterSets derived(const DecodeRow &row, uint32_t word) {
    return register_sets(row, word);
}

TEST_F(RegisterSetCheck, EveryRowDependsOnItsReadSetOnlyAndChangesItsWriteSetOnly) {
    std::vector<std::string> failures;
    for (const DecodeRow &row : kDecodeRows) {
        if (row.state != RowState::built) continue;
        const std::string bad = check_row(row, 24, 0x5e75, derived);
        if (!bad.empty()) failures.push_back(bad);
    }
    std::string report;
    for (std::size_t i = 0; i < failures.size() && i < 40; ++i)
        report += failures[i] + "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " rows:\n" << report;
}

// The check itself: a set missing what a row reads or writes does not pass.
struct Shrunken {
    const char *row;
    const char *what;
    void (*shrink)(RegisterSets &, uint32_t word);
};

uint32_t bits(uint32_t word, unsigned lo) {
    return (word >> lo) & 31;
}

const Shrunken kShrunken[] = {
    {"VecU8AddVVM", "merging Zdn not read",
     [](RegisterSets &s, uint32_t w) { s.read.z &= ~(1u << bits(w, 0)); }},
    {"VecU8AddVVM", "Zm not read",
     [](RegisterSets &s, uint32_t w) {
         if (bits(w, 5) != bits(w, 0)) s.read.z &= ~(1u << bits(w, 5));
     }},
    {"VecU8AddVVM", "Zdn not written", [](RegisterSets &s, uint32_t) { s.write.z = 0; }},
    {"VecF32AddVVM", "FPSR neither read nor written",
     [](RegisterSets &s, uint32_t) { s.read.fpsr = s.write.fpsr = false; }},
    {"VecU64CLoad8LSSZ", "index register not read",
     [](RegisterSets &s, uint32_t) { s.read.x = 0; }},
    {"VecU64E4Load8SIZ", "last member not written",
     [](RegisterSets &s, uint32_t w) { s.write.z &= ~(1u << ((bits(w, 0) + 3) % 32)); }},
    {"VecU64IncrVLSI", "Xdn not read", [](RegisterSets &s, uint32_t) { s.read.x = 0; }},
    {"VecU64While8LTSS", "NZCV not written",
     [](RegisterSets &s, uint32_t) { s.write.nzcv = false; }},
    {"VecU64CTermEQ", "NZCV not read", [](RegisterSets &s, uint32_t) { s.read.nzcv = false; }},
};

class ShrunkenSets : public RegisterSetCheck, public ::testing::WithParamInterface<Shrunken> {};

const Shrunken *g_current = nullptr;
RegisterSets shrunken(const DecodeRow &row, uint32_t word) {
    RegisterSets s = register_sets(row, word);
    g_current->shrink(s, word);
    return s;
}

TEST_P(ShrunkenSets, AreCaught) {
    g_current = &GetParam();
    EXPECT_NE(check_row(row_named(GetParam().row), 64, 0x5e76, shrunken), "")
        << GetParam().row << ": " << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(All, ShrunkenSets, ::testing::ValuesIn(kShrunken));

// Sets spelled out from the architecture for chosen words.
struct Expected {
    const char *row;
    uint32_t fields; // register fields or'ed into the row's fixed bits
    const char *read;
    const char *write;
};

constexpr uint32_t at(uint32_t value, unsigned lo) {
    return value << lo;
}

const Expected kExpected[] = {
    // ADD z3.b, p1/m, z3.b, z9.b
    {"VecU8AddVVM", at(3, 0) | at(1, 10) | at(9, 5), "z3 z9", "z3"},
    // FADD z4.s, p0/m, z4.s, z4.s: FPSR accumulates
    {"VecF32AddVVM", at(4, 0) | at(4, 5), "fpsr z4", "fpsr z4"},
    // LD4D {z30.d, z31.d, z0.d, z1.d}, p2/z, [sp, #-4, mul vl]: members wrap, the base is SP
    {"VecU64E4Load8SIZ", at(30, 0) | at(2, 10) | at(31, 5) | at(0xc, 16), "sp", "z0 z1 z30 z31"},
    // ST2D {z7.d, z8.d}, p0, [x28, x27, lsl #3]: the data is read, nothing is written
    {"VecU64E2Store8LSSZ", at(7, 0) | at(28, 5) | at(27, 16), "x27 x28 z7 z8", ""},
    // INCD x28, all, mul #1
    {"VecU64IncrVLSI", at(28, 0) | at(31, 5), "x28", "x28"},
    // ADDVL sp, sp, #3
    {"VecS64AddVLX", at(31, 0) | at(31, 16) | at(3, 5), "sp", "sp"},
    // WHILELO p1.d, x2, xzr: the zero register is no register
    {"VecU64While8LTSS", at(1, 0) | at(2, 5) | at(31, 16), "x2", "nzcv"},
    // CTERMEQ x5, x6
    {"VecU64CTermEQ", at(5, 5) | at(6, 16), "x5 x6 nzcv", "nzcv"},
    // LD1D z0.d, p0/z, [x1, x2, lsl #3]
    {"VecU64CLoad8LSSZ", at(1, 5) | at(2, 16), "x1 x2", "z0"},
};

class ExpectedSets : public ::testing::TestWithParam<Expected> {};

TEST_P(ExpectedSets, AreDerived) {
    const Expected &e = GetParam();
    const DecodeRow &row = row_named(e.row);
    const uint32_t word = row.fixed_bits() | e.fields;
    ASSERT_EQ(find_decode_row(word), &row) << e.row;
    const RegisterSets sets = register_sets(word);
    EXPECT_EQ(describe(sets.read), e.read) << e.row << " " << row.describe_operands(word);
    EXPECT_EQ(describe(sets.write), e.write) << e.row << " " << row.describe_operands(word);
}

INSTANTIATE_TEST_SUITE_P(All, ExpectedSets, ::testing::ValuesIn(kExpected));

TEST(RegisterSetLookup, AWordNoRowKnowsHasEmptySets) {
    const RegisterSets sets = register_sets(0u);
    EXPECT_TRUE(sets.read.empty());
    EXPECT_TRUE(sets.write.empty());
}

} // namespace
} // namespace ostrel
