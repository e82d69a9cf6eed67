// Test support for the integer executors: running one encoding through the lookup on a row that
// must be built, beside the shared register file helpers.
#pragma once

#include <cstdint>

#include "tests/support/register_file.h"

namespace sve_test {

using namespace ostrel::testing;

// The pc of every register file here, as a report or a trace record would show it.
constexpr uintptr_t kPc = 0x400a3c;

// Looks the encoding up and runs its handler; fails the test when the row is not built.
inline aarch64_decode_rc run(cpu_state *s, uint32_t encoding) {
    const sve_handler_t handler = get_sve_handler(encoding);
    EXPECT_NE(handler, nullptr) << std::hex << encoding;
    if (!handler) return DECODE_UNIMPLEMENTED;
    const ostrel::DecodeRow *row = ostrel::row_of_handler(handler);
    EXPECT_TRUE(row && row->state == ostrel::RowState::built)
        << std::hex << encoding << " " << (row ? row->name : "?");
    return handler(s, encoding);
}

} // namespace sve_test
