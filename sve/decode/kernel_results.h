// Where a kernel's result goes on the kernel road. Each kind provides
//   using value_type;                                     what the kernel returns
//   static void write(cpu_state &, uint32_t enc, RowInfo, value_type)
//   static void describe(std::string &, uint32_t enc, RowInfo)
#pragma once

#include "sve/decode/operand_fields.h"
#include "sve/exec/vector_blocks.h"

namespace ostrel::decode {

// A vector result: its first vector_bytes() bytes replace the Z register at Lo.
template <unsigned Lo, typename Size = RowSize> struct ZResult {
    using value_type = VecValue;
    static void write(cpu_state &s, uint32_t e, const RowInfo &, const VecValue &v) {
        copy_vector(s.z[field(e, Lo, 5)], v.bytes, vector_bytes());
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_z(out, field(e, Lo, 5), Size::code(r));
    }
};

// A predicate result: byte i of the P register at Lo becomes bit i.
template <unsigned Lo, unsigned Width = 4, typename Qual = RowSize> struct PResult {
    using value_type = PredV;
    static void write(cpu_state &s, uint32_t e, const RowInfo &, const PredV &p) {
        unpack_predicate_blocks(p, vector_bytes(), s.p[field(e, Lo, Width)]);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_p(out, field(e, Lo, Width), Qual::code(r));
    }
};

// A general-register result: a 32-bit view is zero-extended; register 31 takes nothing.
template <unsigned Lo, typename View = X> struct RResult {
    using value_type = uint64_t;
    static void write(cpu_state &s, uint32_t e, const RowInfo &r, uint64_t v) {
        write_gpr(s, field(e, Lo, 5), View::code(r) == kGprX ? kGprX : kGprW, v);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_gpr(out, field(e, Lo, 5), View::code(r) == kGprX, false);
    }
};

// A SIMD&FP scalar result: element 0 of the Z register at Lo, every other byte 0.
template <unsigned Lo, typename Size = RowSize> struct VResult {
    using value_type = uint64_t;
    static void write(cpu_state &s, uint32_t e, const RowInfo &r, uint64_t v) {
        uint8_t *z = s.z[field(e, Lo, 5)];
        fill_vector(z, 0, vector_bytes());
        __builtin_memcpy(z, &v, 1u << Size::code(r));
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        static const char views[] = "bhsdq";
        if (!out.empty()) out += ", ";
        out += views[Size::code(r)] + std::to_string(field(e, Lo, 5));
    }
};

// Kernels that only set flags (or FFR).
struct NoResult {
    using value_type = void;
    static void describe(std::string &, uint32_t, const RowInfo &) {}
};

} // namespace ostrel::decode
