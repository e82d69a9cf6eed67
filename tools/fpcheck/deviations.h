// Where this library follows its own rules instead of the architecture's (deviations.md): each
// rule rewrites a case for the reference runner so that the instruction computes what the rule
// asks for.
#pragma once

#include "tools/fpcheck/check_protocol.h"
#include "tools/fpcheck/op_table.h"

namespace ostrel::fpcheck {

CheckCase reference_case(const OpInfo &op, const CheckCase &c);

} // namespace ostrel::fpcheck
