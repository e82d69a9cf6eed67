// Element functions of the saturating element counts (SQINC, UQINC, SQDEC, UQDEC), shared by the
// fixed-length executor and the kernels.
#pragma once

#include <cstdint>

#include "sve/exec/integer/int_helpers.h"

namespace ostrel::integer {

// The low N bits of x stepped by amount, computed exactly and clamped into the N-bit signed or
// unsigned range; returned as an N-bit pattern.
inline uint64_t saturating_step(uint64_t x, uint64_t amount, int n, int is_unsigned,
                                bool decrement) {
    const i128 operand = Int(x, n, is_unsigned);
    const i128 step = static_cast<i128>(amount);
    return SatQ(decrement ? operand - step : operand + step, n, is_unsigned).value;
}

// The scalar forms write the whole X register: the N-bit result sign-extended for signed
// instructions, zero-extended for unsigned ones.
inline uint64_t saturating_step_scalar(uint64_t x, uint64_t amount, int n, int is_unsigned,
                                       bool decrement) {
    return bits(Int(saturating_step(x, amount, n, is_unsigned, decrement), n, is_unsigned));
}

} // namespace ostrel::integer
