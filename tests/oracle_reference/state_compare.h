// Comparing complete architectural states, naming every register that differs.
#pragma once

#include <gtest/gtest.h>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::testing {

// Every X register, SP, NZCV, FPCR, FPSR, Z, P and FFR (the reserved fields are not state).
::testing::AssertionResult same_state(const ArchState &expected, const ArchState &actual);

} // namespace ostrel::oracle::testing
