// The per-thread emulated register file, the operand descriptors a decode function hands to an
// executor, and the general-register accessor every executor goes through.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sve/client/vector_length.h"

namespace ostrel {
constexpr unsigned kNumZRegs = 32;
constexpr unsigned kNumPRegs = 16;
constexpr unsigned kNumXRegs = 31;
} // namespace ostrel

// Register file of one application thread. Field order and widths are fixed: the inserted register
// copies address these fields by offset. Vectors and predicates are as wide as the longest length;
// only the first vector_bytes() bytes of each are read or written, the rest stay as they started
// (zero), so a register file never depends on bytes the process's length does not have.
struct cpu_state {
    uint64_t x[ostrel::kNumXRegs]; // X0 .. X30
    uint64_t sp;
    unsigned char *pc; // the instruction now being emulated
    uint64_t nzcv;     // as MRS NZCV reads it: N bit 31, Z 30, C 29, V 28
    uint32_t fpsr;
    uint32_t fpcr;
    uint8_t z[ostrel::kNumZRegs][ostrel::kMaxVectorBytes];
    // One byte per predicate bit; only bit 0 of each byte is meaningful.
    uint8_t p[ostrel::kNumPRegs][ostrel::kMaxVectorBytes];
    uint8_t ffr[ostrel::kMaxVectorBytes];
    uint64_t encoding; // the 32-bit encoding being emulated, zero-extended
};

static_assert(offsetof(cpu_state, sp) == 31 * 8);
static_assert(offsetof(cpu_state, pc) == 32 * 8);
static_assert(offsetof(cpu_state, nzcv) == 33 * 8);
static_assert(offsetof(cpu_state, fpsr) == 34 * 8);
static_assert(offsetof(cpu_state, fpcr) == 34 * 8 + 4);
static_assert(offsetof(cpu_state, z) == 35 * 8);
static_assert(offsetof(cpu_state, p) == 35 * 8 + 32 * ostrel::kMaxVectorBytes);
static_assert(offsetof(cpu_state, ffr) == 35 * 8 + 48 * ostrel::kMaxVectorBytes);
static_assert(offsetof(cpu_state, encoding) == 35 * 8 + 49 * ostrel::kMaxVectorBytes);

// Result of every handler and executor: 0 succeeds, every other value is a failure.
enum aarch64_decode_rc : int {
    DECODE_OK = 0,
    DECODE_UNIMPLEMENTED = 2,
};

using sve_handler_t = aarch64_decode_rc (*)(cpu_state *, unsigned int);

// Operand descriptors. The three type fields of the four-field descriptors come in two packings:
//   plain:      f1 = type code,  f2 = f3 = class code
//   read-write: f1 = class code, f2 = f3 = type code  (the operand that is destination and source)
struct aarch64_z_reg {
    uint32_t num, f1, f2, f3;
};
struct aarch64_p_reg {
    uint32_t num, f1, f2, f3;
};
struct aarch64_i_reg {
    uint32_t num, f1, f2, f3;
};
// Number 31 is the stack pointer. The size code is 3 (X or SP), 2 (W), or for the scalar source
// of a broadcast the destination's element size.
struct aarch64_i_rsp_reg {
    uint32_t num, size;
};

namespace ostrel {

enum RegClass : uint32_t { kClassGpr = 4, kClassZ = 5, kClassP = 7 };

// Predicate type codes besides the element sizes 0 .. 3.
enum PredType : uint32_t { kPredMerging = 4, kPredZeroing = 5, kPredPlain = 6 };

// General-register views.
enum GprType : uint32_t { kGprW = 2, kGprX = 3 };

template <typename D> struct DescriptorClass;
template <> struct DescriptorClass<aarch64_z_reg> { static constexpr uint32_t value = kClassZ; };
template <> struct DescriptorClass<aarch64_p_reg> { static constexpr uint32_t value = kClassP; };
template <> struct DescriptorClass<aarch64_i_reg> { static constexpr uint32_t value = kClassGpr; };

template <typename D> constexpr D plain_operand(uint32_t num, uint32_t type) {
    constexpr uint32_t cls = DescriptorClass<D>::value;
    return D{num, type, cls, cls};
}
template <typename D> constexpr D read_write_operand(uint32_t num, uint32_t type) {
    constexpr uint32_t cls = DescriptorClass<D>::value;
    return D{num, cls, type, type};
}
// The type code of an operand, by the packing its position in the form uses.
template <typename D> constexpr uint32_t plain_type(const D &d) {
    return d.f1;
}
template <typename D> constexpr uint32_t read_write_type(const D &d) {
    return d.f2;
}

// General registers. Number 31 of an aarch64_i_reg is the zero register; number 31 of an
// aarch64_i_rsp_reg is SP. A W view reads the low 32 bits and writes zero-extended.
inline uint64_t read_gpr(const cpu_state &s, uint32_t num, uint32_t type) {
    uint64_t v = num == 31 ? 0 : s.x[num];
    return type == kGprW ? static_cast<uint32_t>(v) : v;
}
inline void write_gpr(cpu_state &s, uint32_t num, uint32_t type, uint64_t value) {
    if (num == 31) return;
    s.x[num] = type == kGprW ? static_cast<uint32_t>(value) : value;
}
inline uint64_t read_gpr_or_sp(const cpu_state &s, const aarch64_i_rsp_reg &r) {
    uint64_t v = r.num == 31 ? s.sp : s.x[r.num];
    return r.size == kGprW ? static_cast<uint32_t>(v) : v;
}
inline void write_gpr_or_sp(cpu_state &s, const aarch64_i_rsp_reg &r, uint64_t value) {
    uint64_t v = r.size == kGprW ? static_cast<uint32_t>(value) : value;
    if (r.num == 31)
        s.sp = v;
    else
        s.x[r.num] = v;
}
// Descriptor forms of the same rules; the caller says which packing the operand uses.
inline uint64_t read_gpr(const cpu_state &s, const aarch64_i_reg &r, bool read_write = false) {
    return read_gpr(s, r.num, read_write ? read_write_type(r) : plain_type(r));
}
inline void write_gpr(cpu_state &s, const aarch64_i_reg &r, uint64_t value,
                      bool read_write = false) {
    write_gpr(s, r.num, read_write ? read_write_type(r) : plain_type(r), value);
}

} // namespace ostrel
