// Every row is built; prefetch handlers return 0 and change nothing. A decode function whose
// executor or kernel is not built (as each new form is while it is written) reports itself in the
// executors' format, changes nothing and returns 2 — no row pretends to work.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "sve/decode/decode_rows.h"
#include "sve/decode/unbuilt.h"
#include "tests/support/register_file.h"

using namespace ostrel;
using ostrel::testing::garbage_state;

namespace {

constexpr uintptr_t kPc = 0x4000abc0; // where the reports say the instruction is

std::string expected_report(uintptr_t pc, uint32_t encoding, const char *name) {
    char line[256];
    std::snprintf(line, sizeof line, "Unimplemented instruction: [  %lx:\t %08x\t %s  ]\n",
                  static_cast<unsigned long>(pc), encoding, name);
    return line;
}

TEST(UnbuiltHandlers, PrefetchesDoNothingAndEveryOtherRowIsBuilt) {
    std::mt19937 rng(3);
    std::size_t prefetches = 0;
    for (const DecodeRow &row : kDecodeRows) {
        if (row.road != Road::none) {
            EXPECT_EQ(row.state, RowState::built) << row.name;
            continue;
        }
        ++prefetches;
        auto state = garbage_state(rng(), kPc);
        cpu_state before;
        std::memcpy(&before, state.get(), sizeof before);
        const uint32_t encoding = row.fixed_bits() | (rng() & ~row.fixed_mask());
        ::testing::internal::CaptureStderr();
        const aarch64_decode_rc rc = row.handler(state.get(), encoding);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << row.name;
        EXPECT_EQ(rc, DECODE_OK) << row.name;
        EXPECT_EQ(std::memcmp(&before, state.get(), sizeof before), 0) << row.name;
    }
    EXPECT_EQ(prefetches, 36u);
}

TEST(UnbuiltHandlers, AnUnbuiltFormReportsItselfAndChangesNothing) {
    auto state = garbage_state(7, kPc);
    cpu_state before;
    std::memcpy(&before, state.get(), sizeof before);
    ::testing::internal::CaptureStderr();
    const aarch64_decode_rc rc =
        ostrel::decode::report_unbuilt(state.get(), 0x65808020u, "VecF32AddVVM");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              expected_report(kPc, 0x65808020u, "VecF32AddVVM"));
    EXPECT_EQ(rc, DECODE_UNIMPLEMENTED);
    EXPECT_EQ(std::memcmp(&before, state.get(), sizeof before), 0);
}

} // namespace
