// Fill and spill of whole registers (LDR and STR of a Z or P register). The signed immediate
// counts whole registers: the vector length in bytes for Z, an eighth of it for P (one bit per
// predicate byte).
// Not traced.
#include <cstring>

#include "sve/client/cpu_state.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;

constexpr unsigned kMaxPredicateBytes = kMaxVectorBytes / 8;

uint64_t register_address(const cpu_state &s, aarch64_i_rsp_reg xn, int imm, unsigned bytes) {
    return read_gpr_or_sp(s, xn) + static_cast<uint64_t>(static_cast<int64_t>(imm)) * bytes;
}

void *guest_pointer(uint64_t address) {
    return reinterpret_cast<void *>(static_cast<uintptr_t>(address));
}

} // namespace

aarch64_decode_rc sve_ldr_zri(cpu_state *s, aarch64_z_reg zt, aarch64_i_rsp_reg xn, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    std::memcpy(s->z[zt.num], guest_pointer(register_address(*s, xn, imm, vl_bytes)), vl_bytes);
    return DECODE_OK;
}

aarch64_decode_rc sve_str_zri(cpu_state *s, aarch64_z_reg zt, aarch64_i_rsp_reg xn, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    std::memcpy(guest_pointer(register_address(*s, xn, imm, vl_bytes)), s->z[zt.num], vl_bytes);
    return DECODE_OK;
}

// Bit j of memory byte k is predicate bit 8k + j.
aarch64_decode_rc sve_ldr_pri(cpu_state *s, aarch64_p_reg pt, aarch64_i_rsp_reg xn, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes(), predicate_bytes = vl_bytes / 8;
    uint8_t packed[kMaxPredicateBytes];
    std::memcpy(packed, guest_pointer(register_address(*s, xn, imm, predicate_bytes)),
                predicate_bytes);
    uint8_t *pred = s->p[pt.num];
    for (unsigned b = 0; b < vl_bytes; ++b)
        pred[b] = (packed[b / 8] >> (b % 8)) & 1u;
    return DECODE_OK;
}

aarch64_decode_rc sve_str_pri(cpu_state *s, aarch64_p_reg pt, aarch64_i_rsp_reg xn, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes(), predicate_bytes = vl_bytes / 8;
    uint8_t packed[kMaxPredicateBytes] = {};
    const uint8_t *pred = s->p[pt.num];
    for (unsigned b = 0; b < vl_bytes; ++b)
        packed[b / 8] |= static_cast<uint8_t>((pred[b] & 1u) << (b % 8));
    std::memcpy(guest_pointer(register_address(*s, xn, imm, predicate_bytes)), packed,
                predicate_bytes);
    return DECODE_OK;
}
