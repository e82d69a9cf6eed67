// Operand kinds of the decode functions. Each kind names where an operand sits in the encoding and
// how it reaches an executor (a descriptor or an immediate) or a kernel (a value). Operand layouts
// (forms/*.def) are lists of these kinds.
//
// Every kind provides:
//   using type;                                   what an executor receives
//   static type operand(uint32_t enc, RowInfo);   the descriptor or immediate
//   using value_type;                             what a kernel receives
//   static value_type value(const cpu_state &, uint32_t enc, RowInfo)
//   static void describe(std::string &, uint32_t enc, RowInfo)   assembler-like text, for checks
#pragma once

#include <cstdint>
#include <string>

#include "sve/client/cpu_state.h"
#include "sve/decode/predicate_blocks.h"
#include "sve/kernels/vec_value.h"

namespace ostrel::decode {

// What a decode function knows of its row besides the encoding.
struct RowInfo {
    uint8_t esize;  // element size code: 0 = 8-bit .. 3 = 64-bit, 4 = 128-bit
    bool is_signed; // S types
};

constexpr uint32_t field(uint32_t enc, unsigned lo, unsigned width) {
    return (enc >> lo) & ((1u << width) - 1);
}
constexpr int32_t signed_field(uint32_t enc, unsigned lo, unsigned width) {
    const uint32_t raw = field(enc, lo, width);
    const uint32_t sign = 1u << (width - 1);
    return static_cast<int32_t>((raw ^ sign)) - static_cast<int32_t>(sign);
}

// ---- where a type code comes from -------------------------------------------------------------

struct RowSize {
    static constexpr uint32_t code(const RowInfo &r) { return r.esize; }
};
template <uint32_t N> struct Fixed {
    static constexpr uint32_t code(const RowInfo &) { return N; }
};
using Merging = Fixed<kPredMerging>;
using Zeroing = Fixed<kPredZeroing>;
using Unqualified = Fixed<kPredPlain>;
using W = Fixed<kGprW>;
using X = Fixed<kGprX>;
// Wn for B, H and S elements, Xn for D (INDEX, CPY, DUP from a register).
struct WX {
    static constexpr uint32_t code(const RowInfo &r) { return r.esize == 3 ? kGprX : kGprW; }
};

enum class Packing { plain, read_write };
constexpr Packing RW = Packing::read_write;
constexpr Packing Plain = Packing::plain;

namespace text {
void append_z(std::string &out, uint32_t num, uint32_t size_code);
void append_p(std::string &out, uint32_t num, uint32_t type_code);
void append_gpr(std::string &out, uint32_t num, bool wide, bool sp_at_31);
void append_imm(std::string &out, int64_t value);
} // namespace text

template <typename D> constexpr D descriptor(Packing pk, uint32_t num, uint32_t type) {
    return pk == Packing::read_write ? read_write_operand<D>(num, type)
                                     : plain_operand<D>(num, type);
}

// ---- registers ----------------------------------------------------------------------------------

// A Z register, 5 bits at Lo.
template <unsigned Lo, Packing Pk = Plain, typename Size = RowSize> struct Z {
    using type = aarch64_z_reg;
    using value_type = VecValue;
    static type operand(uint32_t e, const RowInfo &r) {
        return descriptor<aarch64_z_reg>(Pk, field(e, Lo, 5), Size::code(r));
    }
    static VecValue value(const cpu_state &s, uint32_t e, const RowInfo &) {
        VecValue v;
        // Past the length the bytes carry no meaning to a kernel; a fixed-size copy is the
        // cheapest.
        __builtin_memcpy(v.bytes, s.z[field(e, Lo, 5)], sizeof v.bytes);
        return v;
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_z(out, field(e, Lo, 5), Size::code(r));
    }
};

// A P register, Width (3 or 4) bits at Lo; Qual gives its type code (element size or qualifier).
template <unsigned Lo, unsigned Width = 4, typename Qual = RowSize, Packing Pk = Plain> struct P {
    using type = aarch64_p_reg;
    using value_type = PredV;
    static type operand(uint32_t e, const RowInfo &r) {
        return descriptor<aarch64_p_reg>(Pk, field(e, Lo, Width), Qual::code(r));
    }
    static PredV value(const cpu_state &s, uint32_t e, const RowInfo &) {
        return pack_predicate_blocks(s.p[field(e, Lo, Width)], vector_bytes());
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_p(out, field(e, Lo, Width), Qual::code(r));
    }
};
// The governing predicate of vector and memory forms: P0..P7 at bits 12..10.
template <typename Qual> using Pg = P<10, 3, Qual>;

// A SIMD&FP scalar (Bn, Hn, Sn, Dn): the low element of the Z register at Lo (reduction results,
// CPY, INSR, LASTA/CLASTA sources). Executors get the register number; kernels get the element,
// zero-extended.
template <unsigned Lo, typename Size = RowSize> struct VScalar {
    using type = unsigned int;
    using value_type = uint64_t;
    static unsigned int operand(uint32_t e, const RowInfo &) { return field(e, Lo, 5); }
    static uint64_t value(const cpu_state &s, uint32_t e, const RowInfo &r) {
        uint64_t v = 0;
        __builtin_memcpy(&v, s.z[field(e, Lo, 5)], 1u << Size::code(r));
        return v;
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        static const char views[] = "bhsdq";
        if (!out.empty()) out += ", ";
        out += views[Size::code(r)] + std::to_string(field(e, Lo, 5));
    }
};

// A general register where 31 is the zero register; View is W, X or RowSize (element size).
template <unsigned Lo, typename View = X, Packing Pk = Plain> struct R {
    using type = aarch64_i_reg;
    using value_type = uint64_t;
    static type operand(uint32_t e, const RowInfo &r) {
        return descriptor<aarch64_i_reg>(Pk, field(e, Lo, 5), View::code(r));
    }
    // 32-bit views reach kernels zero-extended.
    static uint64_t value(const cpu_state &s, uint32_t e, const RowInfo &r) {
        return read_gpr(s, field(e, Lo, 5), View::code(r) == kGprX ? kGprX : kGprW);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_gpr(out, field(e, Lo, 5), View::code(r) == kGprX, false);
    }
};

// A general register where 31 is the stack pointer (base addresses, ADDVL, broadcast sources).
template <unsigned Lo, typename Size = X> struct Rsp {
    using type = aarch64_i_rsp_reg;
    using value_type = uint64_t;
    static type operand(uint32_t e, const RowInfo &r) {
        return aarch64_i_rsp_reg{field(e, Lo, 5), Size::code(r)};
    }
    static uint64_t value(const cpu_state &s, uint32_t e, const RowInfo &r) {
        return read_gpr_or_sp(s, operand(e, r));
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_gpr(out, field(e, Lo, 5), Size::code(r) == kGprX, true);
    }
};

// ---- immediates ---------------------------------------------------------------------------------

template <typename Derived, typename T> struct Immediate {
    using type = T;
    using value_type = T;
    static T value(const cpu_state &, uint32_t e, const RowInfo &r) {
        return Derived::operand(e, r);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_imm(out, Derived::operand(e, r));
    }
};

template <unsigned Lo, unsigned Width> struct UImm : Immediate<UImm<Lo, Width>, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &) { return field(e, Lo, Width); }
};
template <unsigned Lo, unsigned Width> struct SImm : Immediate<SImm<Lo, Width>, int> {
    static int operand(uint32_t e, const RowInfo &) { return signed_field(e, Lo, Width); }
};
// The element-count multiplier, imm4 + 1 (bits 19..16).
struct Multiplier : Immediate<Multiplier, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &) { return field(e, 16, 4) + 1; }
};
// The predicate-constraint pattern (bits 9..5).
using Pattern = UImm<5, 5>;
// imm8 (bits 12..5) shifted left by 8 when bit 13 is set; unsigned (ADD, SUB, ...).
struct ShiftedUImm8 : Immediate<ShiftedUImm8, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &) {
        return field(e, 5, 8) << (field(e, 13, 1) ? 8 : 0);
    }
};
// The same with imm8 signed (DUP, CPY).
struct ShiftedSImm8 : Immediate<ShiftedSImm8, int> {
    static int operand(uint32_t e, const RowInfo &) {
        return signed_field(e, 5, 8) * (field(e, 13, 1) ? 256 : 1);
    }
};

} // namespace ostrel::decode
