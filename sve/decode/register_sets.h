// Which of the registers a front end copies around an emulated instruction (general registers,
// SP, NZCV, FPSR and the low 128 bits of the Z registers) the instruction reads and which it
// writes. The sets are derived per row from its operand layout; the register numbers come from
// the instruction word. The upper bytes of the Z registers, the P registers, FFR and FPCR live in
// the register file only and are never part of a set.
#pragma once

#include <cstdint>
#include <string>

#include "sve/decode/decode_rows.h"

namespace ostrel {

struct RegisterSet {
    uint32_t x = 0; // bit n: Xn, n = 0 .. 30 (X31 as a number is SP or the zero register)
    uint32_t z = 0; // bit n: bytes 0 .. 15 of Zn
    bool sp = false;
    bool nzcv = false;
    bool fpsr = false;

    bool has_x(unsigned n) const { return (x >> n) & 1u; }
    bool has_z(unsigned n) const { return (z >> n) & 1u; }
    bool empty() const { return x == 0 && z == 0 && !sp && !nzcv && !fpsr; }
    RegisterSet &operator|=(const RegisterSet &o) {
        x |= o.x;
        z |= o.z;
        sp = sp || o.sp;
        nzcv = nzcv || o.nzcv;
        fpsr = fpsr || o.fpsr;
        return *this;
    }
    bool operator==(const RegisterSet &o) const {
        return x == o.x && z == o.z && sp == o.sp && nzcv == o.nzcv && fpsr == o.fpsr;
    }
};

struct RegisterSets {
    RegisterSet read;  // whose values the instruction may depend on
    RegisterSet write; // that the instruction may change; a register written only in part is
                       // also in `read`
};

// The sets of `encoding`, an instruction word that `row` matches.
RegisterSets register_sets(const DecodeRow &row, uint32_t encoding);

// The same through the lookup; empty sets when no row knows the word.
RegisterSets register_sets(uint32_t encoding);

// "x0 x5 sp nzcv z3" and the like, for reports and test messages.
std::string describe(const RegisterSet &set);

} // namespace ostrel
