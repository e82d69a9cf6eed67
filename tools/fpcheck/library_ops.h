// The library's answer to a case: the operation of the library that each instruction performs.
#pragma once

#include "tools/fpcheck/check_protocol.h"

namespace ostrel::fpcheck {

CheckResult run_library(OpId op, const CheckCase &c);

} // namespace ostrel::fpcheck
