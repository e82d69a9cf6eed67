// Operand kinds of the fp forms (see operand_fields.h for the contract of a kind).
#pragma once

#include <cstddef>
#include <cstdio>

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"

// The immediate of FADD, FSUB, FSUBR, FMUL, FMAX, FMIN, FMAXNM and FMINNM (immediate): only the i1
// bit travels; each executor knows its own pair of constants.
struct aarch64_sve_fp_arith_imm {
    uint32_t i1;
};

// The 8-bit immediate of FDUP and FCPY, expanded once for every element width. The half and the
// single pattern share the first 64-bit word, the double pattern fills the second.
struct aarch64_sve_fp_dup_imm {
    uint16_t half;
    uint32_t single;
    uint64_t double_;
};
static_assert(sizeof(aarch64_sve_fp_dup_imm) == 16);
static_assert(offsetof(aarch64_sve_fp_dup_imm, single) == 4);
static_assert(offsetof(aarch64_sve_fp_dup_imm, double_) == 8);

namespace ostrel::decode {

// ---- floating-point immediates
// --------------------------------------------------------------------

// The two constants an i1 bit chooses between, as single-precision patterns (all are exact in
// every format).
struct FpHalfOrOne { // FADD, FSUB, FSUBR
    static constexpr uint32_t when0 = 0x3f000000, when1 = 0x3f800000;
};
struct FpHalfOrTwo { // FMUL
    static constexpr uint32_t when0 = 0x3f000000, when1 = 0x40000000;
};
struct FpZeroOrOne { // FMAX, FMIN, FMAXNM, FMINNM
    static constexpr uint32_t when0 = 0x00000000, when1 = 0x3f800000;
};

inline float single_from_bits(uint32_t bits) {
    float f;
    __builtin_memcpy(&f, &bits, sizeof f);
    return f;
}
inline double double_from_bits(uint64_t bits) {
    double d;
    __builtin_memcpy(&d, &bits, sizeof d);
    return d;
}

// i1 at bit 5. Executors get the record; kernels get the constant's single-precision pattern,
// which they narrow or widen to their element format.
template <typename Constants> struct FpArithImm {
    using type = aarch64_sve_fp_arith_imm;
    using value_type = uint32_t;
    static type operand(uint32_t e, const RowInfo &) { return {field(e, 5, 1)}; }
    static uint32_t single_bits(uint32_t e) {
        return field(e, 5, 1) ? Constants::when1 : Constants::when0;
    }
    static uint32_t value(const cpu_state &, uint32_t e, const RowInfo &) { return single_bits(e); }
    static void describe(std::string &out, uint32_t e, const RowInfo &) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "#%.1f",
                      static_cast<double>(single_from_bits(single_bits(e))));
        if (!out.empty()) out += ", ";
        out += buf;
    }
};

// imm8 = a:b:cd:efgh expanded as the architecture's VFPExpandImm: sign a, an exponent of NOT(b)
// followed by copies of b, then cd:efgh as the top of the exponent's low bits and the fraction.
constexpr aarch64_sve_fp_dup_imm expand_fp_dup_imm(uint32_t imm8) {
    const uint32_t a = (imm8 >> 7) & 1, b = (imm8 >> 6) & 1, cdefgh = imm8 & 0x3f;
    aarch64_sve_fp_dup_imm r{};
    r.half = static_cast<uint16_t>(a << 15 | (b ^ 1) << 14 | (b ? 0x3000u : 0u) | cdefgh << 6);
    r.single = a << 31 | (b ^ 1) << 30 | (b ? 0x3e000000u : 0u) | cdefgh << 19;
    r.double_ = uint64_t{a} << 63 | uint64_t{b ^ 1} << 62 | (b ? 0x3fc0000000000000ull : 0ull) |
                uint64_t{cdefgh} << 48;
    return r;
}

// The pattern of one element size (1 half, 2 single, 3 double).
constexpr uint64_t fp_dup_pattern(const aarch64_sve_fp_dup_imm &imm, uint32_t size_code) {
    return size_code == 1 ? imm.half : size_code == 2 ? imm.single : imm.double_;
}

// imm8 at bits 12..5 (FDUP, FCPY). Kernels get the pattern of the row's element size.
struct FpDupImm {
    using type = aarch64_sve_fp_dup_imm;
    using value_type = uint64_t;
    static type operand(uint32_t e, const RowInfo &) { return expand_fp_dup_imm(field(e, 5, 8)); }
    static uint64_t value(const cpu_state &, uint32_t e, const RowInfo &r) {
        return fp_dup_pattern(operand(e, r), r.esize);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "#%.18e", double_from_bits(operand(e, r).double_));
        if (!out.empty()) out += ", ";
        out += buf;
    }
};

// ---- indexed forms
// --------------------------------------------------------------------------------

// Where Zm and the element index sit in indexed forms: the narrower the element, the more of the
// register field's upper bits hold index bits.
// FMLA, FMLS, FMUL (indexed): H Zm 18..16, index 22:20..19; S Zm 18..16, index 20..19;
// D Zm 19..16, index 20.
struct FpMulIndexing {
    static uint32_t zm(uint32_t e, const RowInfo &r) { return field(e, 16, r.esize == 3 ? 4 : 3); }
    static uint32_t index(uint32_t e, const RowInfo &r) {
        if (r.esize == 1) return field(e, 22, 1) << 2 | field(e, 19, 2);
        return r.esize == 2 ? field(e, 19, 2) : field(e, 20, 1);
    }
};
// FCMLA (indexed), which indexes pairs: H Zm 18..16, index 20..19; S Zm 19..16, index 20.
struct FpComplexIndexing {
    static uint32_t zm(uint32_t e, const RowInfo &r) { return field(e, 16, r.esize == 1 ? 3 : 4); }
    static uint32_t index(uint32_t e, const RowInfo &r) {
        return r.esize == 1 ? field(e, 19, 2) : field(e, 20, 1);
    }
};

template <typename Indexing> struct FpIndexedZm {
    using type = aarch64_z_reg;
    using value_type = VecValue;
    static type operand(uint32_t e, const RowInfo &r) {
        return plain_operand<aarch64_z_reg>(Indexing::zm(e, r), r.esize);
    }
    static VecValue value(const cpu_state &s, uint32_t e, const RowInfo &r) {
        VecValue v;
        // Past the length the bytes carry no meaning to a kernel; a fixed-size copy is the
        // cheapest.
        __builtin_memcpy(v.bytes, s.z[Indexing::zm(e, r)], sizeof v.bytes);
        return v;
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &r) {
        text::append_z(out, Indexing::zm(e, r), r.esize);
    }
};

template <typename Indexing> struct FpIndex : Immediate<FpIndex<Indexing>, unsigned int> {
    static unsigned int operand(uint32_t e, const RowInfo &r) { return Indexing::index(e, r); }
};

// ---- complex rotations
// ----------------------------------------------------------------------------

// FCMLA: the 2-bit rotation code r at Lo (r x 90 degrees), passed as the code.
template <unsigned Lo> struct FpRotation {
    using type = unsigned int;
    using value_type = unsigned int;
    static unsigned int operand(uint32_t e, const RowInfo &) { return field(e, Lo, 2); }
    static unsigned int value(const cpu_state &, uint32_t e, const RowInfo &r) {
        return operand(e, r);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &) {
        text::append_imm(out, 90 * field(e, Lo, 2));
    }
};

// FCADD: the rotation bit (bit 16), 0 for 90 and 1 for 270 degrees, passed as the bit.
struct FpAddRotation {
    using type = unsigned int;
    using value_type = unsigned int;
    static unsigned int operand(uint32_t e, const RowInfo &) { return field(e, 16, 1); }
    static unsigned int value(const cpu_state &, uint32_t e, const RowInfo &r) {
        return operand(e, r);
    }
    static void describe(std::string &out, uint32_t e, const RowInfo &) {
        text::append_imm(out, field(e, 16, 1) ? 270 : 90);
    }
};

// ---- conversion sizes
// -----------------------------------------------------------------------------

// The float destination of a conversion from 64-bit integers on the kernel road: half for F16
// rows, single (held in 64-bit elements) for F64 rows.
struct FpNarrowedFromD {
    static constexpr uint32_t code(const RowInfo &r) { return r.esize == 3 ? 2 : r.esize; }
};

} // namespace ostrel::decode
