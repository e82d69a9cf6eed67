// Cases for one operation: random ones drawn heavily from the boundaries of the format, and every
// input of a half-precision (or 16-bit integer) unary operation in every FPCR mode that matters.
#pragma once

#include "tools/fpcheck/check_protocol.h"
#include "tools/fpcheck/op_table.h"

#include <cstdint>
#include <vector>

namespace ostrel::fpcheck {

// The FPCR fields a case may set: RMode, FZ, FZ16, DN, AHP.
constexpr uint32_t kFpcrFz16 = 1u << 19;
constexpr uint32_t kFpcrRMode = 3u << 22;
constexpr uint32_t kFpcrFz = 1u << 24;
constexpr uint32_t kFpcrDn = 1u << 25;
constexpr uint32_t kFpcrAhp = 1u << 26;

std::vector<CheckCase> random_cases(const OpInfo &op, uint64_t count, uint64_t seed);

// Whether the operation has one 16-bit operand, so that all of its inputs can be run.
bool has_exhaustive_cases(const OpInfo &op);
// All 65,536 inputs, in each combination of the FPCR fields that can change the operation's
// result, and (for fixed-point forms) with each number of fraction bits.
std::vector<CheckCase> exhaustive_cases(const OpInfo &op);

} // namespace ostrel::fpcheck
