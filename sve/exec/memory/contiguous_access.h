// Addresses and guest-memory access of the contiguous executors (LD1*, ST1*, LDNT1*, STNT1*,
// LD1R*). T is the memory element type, U the register element type: an access moves
// 192 / sizeof(U) elements of sizeof(T) bytes each.
//
// Guest memory is this process's memory, so these are plain accesses at the guest address; a
// fault on one is not recovered (it ends the process through the fault handler).
#pragma once

#include <cstdint>
#include <cstring>

#include "sve/client/cpu_state.h"

namespace ostrel::memory {

template <typename U> constexpr unsigned kRegElements = kVectorBytes / sizeof(U);

template <typename T> inline T read_guest(uint64_t address) {
    T v;
    std::memcpy(&v, reinterpret_cast<const void *>(static_cast<uintptr_t>(address)), sizeof v);
    return v;
}

template <typename T> inline void write_guest(uint64_t address, T v) {
    std::memcpy(reinterpret_cast<void *>(static_cast<uintptr_t>(address)), &v, sizeof v);
}

// Scalar plus immediate: the immediate counts whole accesses, 192 / sizeof(U) memory elements
// ("MUL VL" of the memory elements, not of the register). Arithmetic wraps at 64 bits.
template <typename T, typename U>
inline uint64_t vector_offset_address(const cpu_state &s, aarch64_i_rsp_reg xn, int imm) {
    const uint64_t step = uint64_t{kRegElements<U>} * sizeof(T);
    return read_gpr_or_sp(s, xn) + static_cast<uint64_t>(static_cast<int64_t>(imm)) * step;
}

// Scalar plus scalar: the index counts memory elements; index register 31 reads zero.
template <typename T>
inline uint64_t scaled_index_address(const cpu_state &s, aarch64_i_rsp_reg xn, aarch64_i_reg xm) {
    return read_gpr_or_sp(s, xn) + read_gpr(s, xm) * sizeof(T);
}

} // namespace ostrel::memory
