// Operand kinds of the integer, logical, shift and bit forms (see operand_fields.h for the
// contract of a kind).
#pragma once

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"
#include "sve/exec/integer/logical64_imm.h"

namespace ostrel::decode {

// ---- element sizes --------------------------------------------------------------------------

// The narrow sources of a dot product: a quarter of the accumulator's element size.
struct DotSourceSize {
    static constexpr uint32_t code(const RowInfo &r) { return r.esize - 2u; }
};
// The 64-bit elements of the second source of a wide compare or shift.
using WideSize = Fixed<3>;

// ---- dot product, indexed --------------------------------------------------------------------

// Zm of an indexed dot product: Z0..Z7 at bits 18..16 for 32-bit accumulators, Z0..Z15 at bits
// 19..16 for 64-bit ones; the bits above hold the index.
struct DotIndexedZm {
    using type = aarch64_z_reg;
    using value_type = VecValue;
    static uint32_t number(uint32_t e, const RowInfo &r) {
        return r.esize == 2 ? field(e, 16, 3) : field(e, 16, 4);
    }
    static type operand(uint32_t e, const RowInfo &r) {
        return plain_operand<aarch64_z_reg>(number(e, r), DotSourceSize::code(r));
    }
    static VecValue value(const cpu_state &s, uint32_t e, const RowInfo &r) {
        VecValue v;
        // Past the length the bytes carry no meaning to a kernel; a fixed-size copy is the
        // cheapest.
        __builtin_memcpy(v.bytes, s.z[number(e, r)], sizeof v.bytes);
        return v;
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_z(out, number(e, r), DotSourceSize::code(r));
    }
};
// The group index inside each 128-bit segment: bits 20..19 (32-bit), bit 20 (64-bit).
struct DotIndex : Immediate<DotIndex, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &r) {
        return r.esize == 2 ? field(e, 19, 2) : field(e, 20, 1);
    }
};

// ---- immediates whose reading follows the row's signedness -----------------------------------

// The compare immediate of kernels serving both relations of a kind (CMPGE and CMPHS): the
// signed imm5 at bits 20..16 for S rows, the unsigned imm7 at bits 20..14 for U rows.
struct IntCmpImm : Immediate<IntCmpImm, int> {
    static int operand(uint32_t e, const RowInfo &r) {
        return r.is_signed ? signed_field(e, 16, 5) : static_cast<int>(field(e, 14, 7));
    }
};
// The 8-bit immediate of SMAX/SMIN (signed) and UMAX/UMIN (unsigned) at bits 12..5.
struct MinMaxImm8 : Immediate<MinMaxImm8, int> {
    static int operand(uint32_t e, const RowInfo &r) {
        return r.is_signed ? signed_field(e, 5, 8) : static_cast<int>(field(e, 5, 8));
    }
};

// ---- shift amounts from tsz:imm3 -------------------------------------------------------------

// tsz is bits 23..22 (high) and two bits at TszlLo (low); imm3 is three bits at Imm3Lo. The
// highest set bit of tsz marks the element size; the bits below it carry the amount.
template <unsigned TszlLo, unsigned Imm3Lo> struct TszImm3 {
    static constexpr uint32_t tsz(uint32_t e) { return field(e, 22, 2) << 2 | field(e, TszlLo, 2); }
    static constexpr uint32_t tsz_imm3(uint32_t e) { return tsz(e) << 3 | field(e, Imm3Lo, 3); }
    // Element size in bits, 0 for the unallocated tsz of 0.
    static constexpr uint32_t esize(uint32_t e) {
        const uint32_t t = tsz(e);
        return t >= 8 ? 64 : t >= 4 ? 32 : t >= 2 ? 16 : t == 1 ? 8 : 0;
    }
};
// Right shifts: 1..esize (twice the element size minus tsz:imm3).
template <unsigned TszlLo, unsigned Imm3Lo>
struct TszRightShift : Immediate<TszRightShift<TszlLo, Imm3Lo>, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &) {
        using F = TszImm3<TszlLo, Imm3Lo>;
        return 2 * F::esize(e) - F::tsz_imm3(e);
    }
};
// Left shifts: 0..esize-1 (tsz:imm3 minus the element size).
template <unsigned TszlLo, unsigned Imm3Lo>
struct TszLeftShift : Immediate<TszLeftShift<TszlLo, Imm3Lo>, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &) {
        using F = TszImm3<TszlLo, Imm3Lo>;
        return F::tsz_imm3(e) - F::esize(e);
    }
};
// Predicated forms: tszl at bits 9..8, imm3 at 7..5; unpredicated: tszl at 20..19, imm3 18..16.
using PredRightShift = TszRightShift<8, 5>;
using PredLeftShift = TszLeftShift<8, 5>;
using UnpredRightShift = TszRightShift<19, 16>;
using UnpredLeftShift = TszLeftShift<19, 16>;

// ---- bitmask immediates ----------------------------------------------------------------------

// N:immr:imms at bits 17..5, expanded to the 64-bit pattern.
struct BitmaskImm {
    using type = aarch64_sve_logical64_imm;
    using value_type = aarch64_sve_logical64_imm;
    static DecodedBitMask decoded(uint32_t e) { return decode_bit_masks(field(e, 5, 13)); }
    static type operand(uint32_t e, const RowInfo &) { return {decoded(e).pattern}; }
    static value_type value(const cpu_state &, uint32_t e, const RowInfo &r) {
        return operand(e, r);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &) {
        text::append_imm(out, static_cast<int64_t>(decoded(e).pattern));
    }
    // The element size the immediate names, as a size code (elements below a byte count as B).
    static uint32_t size_code(uint32_t e) {
        const unsigned esize = decoded(e).esize;
        return esize == 64 ? 3 : esize == 32 ? 2 : esize == 16 ? 1 : 0;
    }
};
// The Z operand of a bitmask-immediate form: its element size is the immediate's, not the row's.
template <unsigned Lo, Packing Pk = Plain> struct ZBitmask : Z<Lo, Pk> {
    static aarch64_z_reg operand(uint32_t e, const RowInfo &) {
        return descriptor<aarch64_z_reg>(Pk, field(e, Lo, 5), BitmaskImm::size_code(e));
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &) {
        text::append_z(out, field(e, Lo, 5), BitmaskImm::size_code(e));
    }
};

} // namespace ostrel::decode
