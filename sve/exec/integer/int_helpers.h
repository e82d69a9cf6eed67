// The integer and saturation helpers the executors and kernels call per element: conversions
// and 128-bit arithmetic, saturation, and bit functions.
#pragma once

#include "sve/exec/integer/bit_helpers.h"
#include "sve/exec/integer/int_arith.h"
#include "sve/exec/integer/sat_helpers.h"
