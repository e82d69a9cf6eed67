// Fill and spill of whole registers (LDR and STR of a Z or P register). The signed immediate
// counts whole registers: 192 bytes for Z, 24 bytes for P (one bit per predicate byte).
// Not traced.
#include <cstring>

#include "sve/client/cpu_state.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;

constexpr unsigned kPredicateBytes = kVectorBytes / 8;

uint64_t register_address(const cpu_state &s, aarch64_i_rsp_reg xn, int imm, unsigned bytes) {
    return read_gpr_or_sp(s, xn) + static_cast<uint64_t>(static_cast<int64_t>(imm)) * bytes;
}

void *guest_pointer(uint64_t address) {
    return reinterpret_cast<void *>(static_cast<uintptr_t>(address));
}

} // namespace

aarch64_decode_rc sve_ldr_zri(cpu_state *s, aarch64_z_reg zt, aarch64_i_rsp_reg xn, int imm) {
    std::memcpy(s->z[zt.num], guest_pointer(register_address(*s, xn, imm, kVectorBytes)),
                kVectorBytes);
    return DECODE_OK;
}

aarch64_decode_rc sve_str_zri(cpu_state *s, aarch64_z_reg zt, aarch64_i_rsp_reg xn, int imm) {
    std::memcpy(guest_pointer(register_address(*s, xn, imm, kVectorBytes)), s->z[zt.num],
                kVectorBytes);
    return DECODE_OK;
}

// Bit j of memory byte k is predicate bit 8k + j.
aarch64_decode_rc sve_ldr_pri(cpu_state *s, aarch64_p_reg pt, aarch64_i_rsp_reg xn, int imm) {
    uint8_t packed[kPredicateBytes];
    std::memcpy(packed, guest_pointer(register_address(*s, xn, imm, kPredicateBytes)),
                kPredicateBytes);
    uint8_t *pred = s->p[pt.num];
    for (unsigned b = 0; b < kVectorBytes; ++b)
        pred[b] = (packed[b / 8] >> (b % 8)) & 1u;
    return DECODE_OK;
}

aarch64_decode_rc sve_str_pri(cpu_state *s, aarch64_p_reg pt, aarch64_i_rsp_reg xn, int imm) {
    uint8_t packed[kPredicateBytes] = {};
    const uint8_t *pred = s->p[pt.num];
    for (unsigned b = 0; b < kVectorBytes; ++b)
        packed[b / 8] |= static_cast<uint8_t>((pred[b] & 1u) << (b % 8));
    std::memcpy(guest_pointer(register_address(*s, xn, imm, kPredicateBytes)), packed,
                kPredicateBytes);
    return DECODE_OK;
}
