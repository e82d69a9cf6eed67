// Addresses and guest-memory access of the contiguous executors (LD1*, ST1*, LDNT1*, STNT1*,
// LD1R*). T is the memory element type, U the register element type: an access moves
// vector_bytes() / sizeof(U) elements of sizeof(T) bytes each.
//
// Guest memory is this process's memory, so these are plain accesses at the guest address; a
// fault on one is not recovered (it ends the process through the fault handler).
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/client/cpu_state.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/trace/memtrace.h"

namespace ostrel::memory {

// Register elements of type U at the process's vector length; read once per access.
template <typename U> inline unsigned reg_elements() {
    return vector_bytes() / sizeof(U);
}

template <typename T> inline T read_guest(uint64_t address) {
    T v;
    std::memcpy(&v, reinterpret_cast<const void *>(static_cast<uintptr_t>(address)), sizeof v);
    return v;
}

template <typename T> inline void write_guest(uint64_t address, T v) {
    std::memcpy(reinterpret_cast<void *>(static_cast<uintptr_t>(address)), &v, sizeof v);
}

// Scalar plus immediate: the immediate counts whole accesses, vector_bytes() / sizeof(U) memory
// elements
// ("MUL VL" of the memory elements, not of the register). Arithmetic wraps at 64 bits.
template <typename T, typename U>
inline uint64_t vector_offset_address(const cpu_state &s, aarch64_i_rsp_reg xn, int imm) {
    const uint64_t step = uint64_t{reg_elements<U>()} * sizeof(T);
    return read_gpr_or_sp(s, xn) + static_cast<uint64_t>(static_cast<int64_t>(imm)) * step;
}

// Scalar plus scalar: the index counts memory elements; index register 31 reads zero.
template <typename T>
inline uint64_t scaled_index_address(const cpu_state &s, aarch64_i_rsp_reg xn, aarch64_i_reg xm) {
    return read_gpr_or_sp(s, xn) + read_gpr(s, xm) * sizeof(T);
}

// Hands a finished contiguous access at `address`, governed by `pg`, to the contiguous tracer.
template <typename T, typename U>
inline void trace_contiguous(cpu_state *s, aarch64_p_reg pg, uint64_t address,
                             memaccess_type_t type) {
    memtrace_lin<T, U>(s, reinterpret_cast<T *>(static_cast<uintptr_t>(address)),
                       reinterpret_cast<char *>(s->p[pg.num]), type);
}

// One contiguous access at `address`: `element(i, element_address)` for each active element i in
// ascending order, then the finished access goes to the tracer. Loads and stores differ only in
// what they do with an element.
template <typename T, typename U, typename Element>
inline void for_each_active_element(cpu_state *s, aarch64_p_reg pg, uint64_t address,
                                    memaccess_type_t type, Element &&element) {
    const uint8_t *pred = s->p[pg.num];
    const unsigned elements = reg_elements<U>();
    for (unsigned i = 0; i < elements; ++i)
        if (integer::element_active<U>(pred, i)) element(i, address + uint64_t{i} * sizeof(T));
    trace_contiguous<T, U>(s, pg, address, type);
}

} // namespace ostrel::memory

// Both addressing forms of one contiguous mnemonic, sve_<name>_zpri ([Xn, #imm, MUL VL]) and
// sve_<name>_scaled_zprr ([Xn, Xm, LSL #log2(sizeof(T))]), over access<T, U>(s, zt, pg, address).
#define OSTREL_CONTIGUOUS_FORMS(name, access, T, U)                                                \
    aarch64_decode_rc sve_##name##_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_i_rsp_reg xn, int imm) {                           \
        return access<T, U>(s, zt, pg, ostrel::memory::vector_offset_address<T, U>(*s, xn, imm));  \
    }                                                                                              \
    aarch64_decode_rc sve_##name##_scaled_zprr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_i_reg xm) {           \
        return access<T, U>(s, zt, pg, ostrel::memory::scaled_index_address<T>(*s, xn, xm));       \
    }
