// The real scalar instruction behind every checked operation, with FPCR set for the case.
#pragma once

#include "tools/fpcheck/check_protocol.h"

namespace ostrel::fpcheck {

// Runs one case of `op`; false when the runner does not know the operation.
bool run_instruction(OpId op, const CheckCase &c, CheckResult &r);

} // namespace ostrel::fpcheck
