// Operand kinds of the move and element-count forms (see operand_fields.h for the contract of a
// kind).
#pragma once

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"

namespace ostrel::decode {

// The element number of DUP (indexed): imm2 (bits 23..22) above tsz (bits 20..16), with the
// element-size marker of tsz and the bits below it shifted out. Element sizes 0..4 keep 6..2
// bits of index.
struct DupElementIndex : Immediate<DupElementIndex, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &r) {
        const uint32_t imm2_tsz = field(e, 22, 2) << 5 | field(e, 16, 5);
        return imm2_tsz >> (r.esize + 1);
    }
};

// The source vector of DUP (indexed). Its text follows the disassembler, which prints element 0
// as the scalar alias (mov z0.s, s1) and any other element as z1.s[i].
struct DupIndexedSource : Z<5> {
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        static const char views[] = "bhsdq";
        if (DupElementIndex::operand(e, r) != 0) return Z<5>::describe(out, e, r);
        if (!out.empty()) out += ", ";
        out += views[r.esize] + std::to_string(field(e, 5, 5));
    }
};

// The destination view of the 32-bit saturating element counts: SQINC/SQDEC write Xdn with the
// result sign-extended, UQINC/UQDEC write Wdn (zero-extended).
struct SaturatedScalarView {
    static constexpr uint32_t code(const RowInfo &r) { return r.is_signed ? kGprX : kGprW; }
};

} // namespace ostrel::decode
