// Operand kinds of the memory forms (see operand_fields.h for the contract of a kind).
#pragma once

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"

namespace ostrel::decode {

// The first of Count consecutive Z registers of a structure load or store (LD2 .. ST4). Only the
// first travels: the executor finds member r in register (Zt + r) mod 32. The text names every
// member, as binutils does: a range for more than two registers that do not wrap past Z31,
// otherwise a list.
template <unsigned Lo, unsigned Count> struct ZList : Z<Lo> {
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        static const char sizes[] = "bhsdq";
        const uint32_t first = field(e, Lo, 5);
        const auto name = [&](uint32_t num) {
            return "z" + std::to_string(num % 32) + "." + sizes[RowSize::code(r)];
        };
        if (!out.empty()) out += ", ";
        out += "{";
        if (Count > 2 && first + Count - 1 < 32) {
            out += name(first) + "-" + name(first + Count - 1);
        } else {
            for (unsigned i = 0; i < Count; ++i)
                out += (i ? ", " : "") + name(first + i);
        }
        out += "}";
    }
};

// The signed 9-bit offset of LDR and STR (whole Z or P register): imm9h at bits 21..16 above
// imm9l at bits 12..10, counted in whole registers (the executor scales it).
struct SplitSImm9 : Immediate<SplitSImm9, int> {
    static int operand(uint32_t e, const RowInfo &) {
        const uint32_t raw = field(e, 16, 6) << 3 | field(e, 10, 3);
        return static_cast<int>(raw ^ 0x100u) - 0x100;
    }
};

} // namespace ostrel::decode
