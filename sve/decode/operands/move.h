// Operand kinds of the move forms (see operand_fields.h for the contract of a kind).
#pragma once

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"

namespace ostrel::decode {} // namespace ostrel::decode
