// Operand kinds of the predicate forms (see operand_fields.h for the contract of a kind).
#pragma once

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"

namespace ostrel::decode {

// The 32-bit saturating predicate counts write Xdn for signed types (the result sign-extended)
// and Wdn for unsigned ones (zero-extended), as the assembler spells them.
struct XIfSigned {
    static constexpr uint32_t code(const RowInfo &r) { return r.is_signed ? kGprX : kGprW; }
};

// PUNPKLO/PUNPKHI: the source predicate holds bytes, the destination halfwords.
using PredBytes = Fixed<0>;
using PredHalfwords = Fixed<1>;

} // namespace ostrel::decode
