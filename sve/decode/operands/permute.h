// Operand kinds of the permute forms (see operand_fields.h for the contract of a kind).
#pragma once

#include <type_traits>

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"

namespace ostrel::decode {

// The narrow side of an unpack: half the element size of the row.
struct HalfRowSize {
    static constexpr uint32_t code(const RowInfo &r) { return r.esize - 1; }
};

// Kernel operands and results whose register file depends on an encoding bit: LASTA, CLASTA and
// INSR share one kernel family between the general-register and the SIMD&FP scalar forms, and the
// element types of the two forms do not tell them apart (U8 and B8 are both byte elements).
template <unsigned Bit, typename IfSet, typename IfClear> struct ByBit {
    static_assert(std::is_same_v<typename IfSet::value_type, typename IfClear::value_type>);
    using value_type = typename IfSet::value_type;
    static value_type value(const cpu_state &s, uint32_t e, const RowInfo &r) {
        return field(e, Bit, 1) ? IfSet::value(s, e, r) : IfClear::value(s, e, r);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        field(e, Bit, 1) ? IfSet::describe(out, e, r) : IfClear::describe(out, e, r);
    }
};
template <unsigned Bit, typename IfSet, typename IfClear> struct ResultByBit {
    static_assert(std::is_same_v<typename IfSet::value_type, typename IfClear::value_type>);
    using value_type = typename IfSet::value_type;
    static void write(cpu_state &s, uint32_t e, const RowInfo &r, value_type v) {
        field(e, Bit, 1) ? IfSet::write(s, e, r, v) : IfClear::write(s, e, r, v);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        field(e, Bit, 1) ? IfSet::describe(out, e, r) : IfClear::describe(out, e, r);
    }
};

// LASTA and CLASTA: bit 13 is clear in the SIMD&FP scalar forms.
template <unsigned Lo> using LastScalar = ByBit<13, R<Lo, WX>, VScalar<Lo>>;
template <unsigned Lo> using LastScalarResult = ResultByBit<13, RResult<Lo, WX>, VResult<Lo>>;
// INSR: bit 20 is set in the SIMD&FP scalar form.
template <unsigned Lo> using InsertScalar = ByBit<20, VScalar<Lo>, R<Lo, WX>>;

// EXT's byte offset, imm8h (bits 20..16) : imm8l (bits 12..10).
struct ExtOffset : Immediate<ExtOffset, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &) {
        return field(e, 16, 5) << 3 | field(e, 10, 3);
    }
};

} // namespace ostrel::decode
