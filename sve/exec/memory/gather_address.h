// Element addresses of gathers and scatters, shared by the fixed-length executors and the
// first-fault gather kernels, and the executors' entry points of every addressing form. All
// arithmetic is 64-bit and wraps.
#pragma once

#include <cstdint>

#include "sve/client/cpu_state.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/memory/address_generation.h"

namespace ostrel::memory {

// Vector plus immediate: the address element (zero-extended when it is 32 bits wide) plus the
// immediate in memory elements.
template <typename U> constexpr uint64_t vector_base_address(U base, unsigned imm, unsigned msize) {
    return uint64_t{base} + uint64_t{imm} * msize;
}

// Scalar plus vector: the base plus the offset element, taken whole or as its sign- or
// zero-extended low 32 bits, shifted by log2(msize) when scaled (shift 0 when not).
template <AdrOffset Kind, typename U>
constexpr uint64_t vector_offset_address(uint64_t base, U offset, unsigned shift) {
    return base + (adr_offset<Kind>(offset) << shift);
}

// The shift that scales an offset by a memory element of `bytes` (1, 2, 4 or 8).
constexpr unsigned log2_of_size(unsigned bytes) {
    return bytes == 1 ? 0 : bytes == 2 ? 1 : bytes == 4 ? 2 : 3;
}
template <typename T> constexpr unsigned kLog2Size = log2_of_size(sizeof(T));

// Element i's address in an executor, for T memory and U register elements: vector plus
// immediate, or base plus offsets (scaled by sizeof(T) when Scaled).
template <typename T, typename U>
auto vector_base_addresses(const cpu_state &s, aarch64_z_reg zn, unsigned imm) {
    const uint8_t *bases = s.z[zn.num];
    return [bases, imm](unsigned i) {
        return vector_base_address(integer::load_element<U>(bases, i), imm, sizeof(T));
    };
}
template <typename T, typename U, AdrOffset Kind, bool Scaled>
auto offset_addresses(const cpu_state &s, aarch64_i_rsp_reg xn, aarch64_z_reg zm) {
    const uint64_t base = read_gpr_or_sp(s, xn);
    const uint8_t *offsets = s.z[zm.num];
    return [base, offsets](unsigned i) {
        return vector_offset_address<Kind>(base, integer::load_element<U>(offsets, i),
                                           Scaled ? kLog2Size<T> : 0);
    };
}

} // namespace ostrel::memory

// The executors of one gather or scatter mnemonic, over access<T, U>(s, zt, pg,
// address_of_element):
//   sve_<name>_zpzi          [Zn.<T>, #imm]
//   sve_<name>_zpzr          [Xn, Zm.<T>{, SXTW|UXTW}], offsets unscaled
//   sve_<name>_scaled_zprz   [Xn, Zm.<T>, {SXTW|UXTW|LSL} #log2(msize)]
#define OSTREL_VECTOR_ADDRESS_VI(name, access, T, U)                                               \
    aarch64_decode_rc sve_##name##_zpzi(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_z_reg zn, unsigned int imm) {                      \
        return access<T, U>(s, zt, pg, ostrel::memory::vector_base_addresses<T, U>(*s, zn, imm));  \
    }
#define OSTREL_VECTOR_ADDRESS_VS(name, access, T, U, kind)                                         \
    aarch64_decode_rc sve_##name##_zpzr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_z_reg zm, aarch64_i_rsp_reg xn) {                  \
        return access<T, U>(                                                                       \
            s, zt, pg,                                                                             \
            ostrel::memory::offset_addresses<T, U, ostrel::memory::AdrOffset::kind, false>(*s, xn, \
                                                                                           zm));   \
    }
#define OSTREL_VECTOR_ADDRESS_SV(name, access, T, U, kind)                                         \
    aarch64_decode_rc sve_##name##_scaled_zprz(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_z_reg zm) {           \
        return access<T, U>(                                                                       \
            s, zt, pg,                                                                             \
            ostrel::memory::offset_addresses<T, U, ostrel::memory::AdrOffset::kind, true>(*s, xn,  \
                                                                                          zm));    \
    }
// Doubleword elements: vector plus immediate, 64-bit, SXTW and UXTW offsets unscaled, and (but for
// bytes, whose scale would be 1) scaled.
#define OSTREL_VECTOR_ADDRESS_D(name, access, T, scaled_too)                                       \
    OSTREL_VECTOR_ADDRESS_VI(name, access, T, uint64_t)                                            \
    OSTREL_VECTOR_ADDRESS_VS(name, access, T, uint64_t, whole)                                     \
    OSTREL_VECTOR_ADDRESS_VS(name##_sxtw, access, T, uint64_t, sxtw)                               \
    OSTREL_VECTOR_ADDRESS_VS(name##_uxtw, access, T, uint64_t, uxtw)                               \
    OSTREL_VECTOR_ADDRESS_D_SCALED_##scaled_too(name, access, T)
#define OSTREL_VECTOR_ADDRESS_D_SCALED_no(name, access, T)
#define OSTREL_VECTOR_ADDRESS_D_SCALED_yes(name, access, T)                                        \
    OSTREL_VECTOR_ADDRESS_SV(name, access, T, uint64_t, whole)                                     \
    OSTREL_VECTOR_ADDRESS_SV(name##_sxtw, access, T, uint64_t, sxtw)                               \
    OSTREL_VECTOR_ADDRESS_SV(name##_uxtw, access, T, uint64_t, uxtw)
