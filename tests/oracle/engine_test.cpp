// The engine runner's case plumbing: registers in and out of cpu_state (predicates unpacked to
// one byte per bit and packed again), the window, and the outcomes it reports.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/oracle/oracle_test_rows.h"
#include "tests/support/vector_length_scope.h"
#include "tools/oracle/case_generator.h"
#include "tools/oracle/engine.h"

namespace ostrel::oracle {
namespace {

using ostrel::testing::ScopedVectorLength;
using testing::row_named;

class Engine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(prepare_engine(error)) << error;
    }
};

bool same_state(const ArchState &a, const ArchState &b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const DecodeRow *first_row_in_state(RowState state) {
    for (const DecodeRow &row : kDecodeRows)
        if (row.state == state && row.road != Road::none) return &row;
    return nullptr;
}

TEST_F(Engine, AnEncodingWithoutHandlerChangesNothing) {
    Case c = generate_case(row_named("VecU64CLoad8LSSZ"), 1, 0);
    c.header.encoding = 0; // not in the SVE space
    const Result r = run_engine_case(c);
    EXPECT_EQ(r.header.magic, kResultMagic);
    EXPECT_EQ(r.header.outcome, Outcome::no_handler);
    // Every register, predicate bit and window byte makes the round trip through cpu_state.
    EXPECT_TRUE(same_state(r.header.state, c.header.state));
    EXPECT_EQ(r.header.memory_bytes, kWindowBytes);
    EXPECT_EQ(r.memory, c.memory);
}

TEST_F(Engine, AnUnbuiltRowIsUnimplementedAndQuiet) {
    const DecodeRow *row = first_row_in_state(RowState::pending);
    if (!row) row = first_row_in_state(RowState::no_layout);
    if (!row) GTEST_SKIP() << "every row is built";
    const Case c = generate_case(*row, 2, 0);
    ::testing::internal::CaptureStderr();
    const Result r = run_engine_case(c);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.header.outcome, Outcome::unimplemented) << row->name;
    EXPECT_TRUE(same_state(r.header.state, c.header.state)) << row->name;
    EXPECT_EQ(err, "") << "the handler's message must not reach the runner's standard error";
}

// DUP (scalar) copies the low bits of Xn|SP into every element: the scalar goes in through
// cpu_state and the vector comes back out, as long as the case's length and no longer: the
// engine follows each case's length whatever the process's was.
TEST_F(Engine, ABuiltRowRunsOnTheLoadedState) {
    const DecodeRow &row = row_named("VecU16DupS");
    if (row.state != RowState::built) GTEST_SKIP() << "VecU16DupS is not built yet";
    const ScopedVectorLength restored_after(kDefaultVectorBits); // the engine keeps the last
    for (unsigned bits : {1536u, 128u, 2048u, 512u}) {
        for (uint32_t k = 0; k < 4; ++k) {
            SCOPED_TRACE(std::to_string(bits) + " bits, case " + std::to_string(k));
            Case c;
            {
                const ScopedVectorLength generated_at(bits);
                c = generate_case(row, 3, k);
            }
            const unsigned d = c.header.encoding & 31, n = (c.header.encoding >> 5) & 31;
            const Result r = run_engine_case(c);
            ASSERT_EQ(r.header.outcome, Outcome::completed);
            const uint64_t source = n == 31 ? c.header.state.sp : c.header.state.x[n];
            for (unsigned i = 0; i < kStateVectorBytes; i += 2) {
                uint16_t v;
                std::memcpy(&v, &r.header.state.z[d][i], 2);
                ASSERT_EQ(v, i < bits / 8 ? static_cast<uint16_t>(source) : 0) << "byte " << i;
            }
            ArchState others = r.header.state;
            std::memcpy(others.z[d], c.header.state.z[d], kStateVectorBytes);
            EXPECT_TRUE(same_state(others, c.header.state)) << "only Zd changes";
        }
    }
}

// A load running off the end of the window meets the guard page: the fault is caught and
// reported with its address, and the runner goes on with the next case.
TEST_F(Engine, AFaultInTheHandlerIsCaught) {
    const DecodeRow &row = row_named("VecU8CLoad1LSSZ");
    if (row.state != RowState::built) GTEST_SKIP() << "VecU8CLoad1LSSZ (LD1B) is not built yet";
    Case c = generate_case(row, 4, 0);
    const unsigned n = (c.header.encoding >> 5) & 31, m = (c.header.encoding >> 16) & 31;
    const uint64_t start = kWindowAddress + kWindowBytes - 100;
    (n == 31 ? c.header.state.sp : c.header.state.x[n]) = start;
    if (m != 31 && m != n) c.header.state.x[m] = 0;
    std::memset(c.header.state.p[(c.header.encoding >> 10) & 7], 0xff, kStatePredicateBytes);
    const Result r = run_engine_case(c);
    EXPECT_EQ(r.header.outcome, Outcome::faulted);
    EXPECT_GE(r.header.fault_address, kWindowAddress + kWindowBytes);
    EXPECT_LT(r.header.fault_address, start + vector_bytes());
    EXPECT_EQ(run_engine_case(generate_case(row, 4, 1)).header.outcome, Outcome::completed);
}

} // namespace
} // namespace ostrel::oracle
