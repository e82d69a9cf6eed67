// Rows whose executor or kernel is not built report themselves, change nothing and return 2 — no
// row pretends to work; prefetch handlers return 0 and change nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "sve/decode/decode_rows.h"
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

TEST(UnbuiltHandlers, EveryRowNotBuiltReportsItself) {
    std::mt19937 rng(3);
    std::size_t checked = 0;
    for (const DecodeRow &row : kDecodeRows) {
        if (row.state == RowState::built && row.road != Road::none) continue;
        ++checked;
        auto state = garbage_state(rng(), kPc);
        cpu_state before;
        std::memcpy(&before, state.get(), sizeof before);
        const uint32_t encoding = row.fixed_bits() | (rng() & ~row.fixed_mask());

        ::testing::internal::CaptureStderr();
        const aarch64_decode_rc rc = row.handler(state.get(), encoding);
        const std::string err = ::testing::internal::GetCapturedStderr();

        EXPECT_EQ(std::memcmp(&before, state.get(), sizeof before), 0)
            << row.name << " changed state";
        if (row.road == Road::none) {
            EXPECT_EQ(rc, DECODE_OK) << row.name;
            EXPECT_EQ(err, "") << row.name;
        } else {
            EXPECT_EQ(rc, DECODE_UNIMPLEMENTED) << row.name;
            EXPECT_EQ(err, expected_report(kPc, encoding, row.name));
        }
    }
    EXPECT_GT(checked, 36u);
}

} // namespace
