// Gather loads (LD1B/H/W/D, LD1SB/SH/SW) in every addressing form: vector plus immediate, and
// scalar plus vector with 64-bit, SXTW or UXTW offsets, unscaled or scaled by the memory element.
// Active elements are read in ascending order and extended (by T's signedness) to the register
// element; inactive elements become zero. Each active element is traced on its own.
#include <cstring>

#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/gather_address.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using integer::element_active;
using integer::load_element;
using integer::store_element;

// T is the memory element, U the register element; address(i) gives element i's address.
template <typename T, typename U, typename Address>
aarch64_decode_rc gather(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg, Address &&address) {
    uint8_t result[kVectorBytes] = {};
    ElementAddresses traced;
    const uint8_t *pred = s->p[pg.num];
    for (unsigned i = 0; i < kRegElements<U>; ++i) {
        if (!element_active<U>(pred, i)) continue;
        const uint64_t at = address(i);
        traced.push_back(at);
        // Converting a signed T to the wider unsigned U sign-extends; an unsigned T zero-extends.
        store_element<U>(result, i, static_cast<U>(read_guest<T>(at)));
    }
    std::memcpy(s->z[zt.num], result, kVectorBytes);
    emit_element_records(s, MEMACCESS_READ, sizeof(T), traced);
    return DECODE_OK;
}

template <typename T, typename U>
aarch64_decode_rc gather_vector_base(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                     aarch64_z_reg zn, unsigned imm) {
    const uint8_t *bases = s->z[zn.num];
    return gather<T, U>(s, zt, pg, [&](unsigned i) {
        return vector_base_address(load_element<U>(bases, i), imm, sizeof(T));
    });
}

template <typename T, typename U, AdrOffset Kind, bool Scaled>
aarch64_decode_rc gather_offsets(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                 aarch64_i_rsp_reg xn, aarch64_z_reg zm) {
    const uint64_t base = read_gpr_or_sp(*s, xn);
    const uint8_t *offsets = s->z[zm.num];
    return gather<T, U>(s, zt, pg, [&](unsigned i) {
        return vector_offset_address<Kind>(base, load_element<U>(offsets, i),
                                           Scaled ? kLog2Size<T> : 0);
    });
}

} // namespace

// sve_<name>_zpzi: [Zn.<T>, #imm]
#define OSTREL_GATHER_VI(name, T, U)                                                               \
    aarch64_decode_rc sve_##name##_zpzi(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_z_reg zn, unsigned int imm) {                      \
        return gather_vector_base<T, U>(s, zt, pg, zn, imm);                                       \
    }
// sve_<name>_zpzr: [Xn, Zm.<T>{, SXTW|UXTW}], offsets unscaled
#define OSTREL_GATHER_VS(name, T, U, kind)                                                         \
    aarch64_decode_rc sve_##name##_zpzr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_z_reg zm, aarch64_i_rsp_reg xn) {                  \
        return gather_offsets<T, U, AdrOffset::kind, false>(s, zt, pg, xn, zm);                    \
    }
// sve_<name>_scaled_zprz: [Xn, Zm.<T>, {SXTW|UXTW|LSL} #log2(msize)]
#define OSTREL_GATHER_SV(name, T, U, kind)                                                         \
    aarch64_decode_rc sve_##name##_scaled_zprz(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_z_reg zm) {           \
        return gather_offsets<T, U, AdrOffset::kind, true>(s, zt, pg, xn, zm);                     \
    }

// 32-bit elements: 32-bit address elements (zero-extended) or 32-bit offsets.
OSTREL_GATHER_VI(ld1b_s, uint8_t, uint32_t)
OSTREL_GATHER_VI(ld1sb_s, int8_t, uint32_t)
OSTREL_GATHER_VI(ld1h_s, uint16_t, uint32_t)
OSTREL_GATHER_VI(ld1sh_s, int16_t, uint32_t)
OSTREL_GATHER_VI(ld1w, uint32_t, uint32_t)
OSTREL_GATHER_VS(ld1b_s_sxtw, uint8_t, uint32_t, sxtw)
OSTREL_GATHER_VS(ld1sb_s_sxtw, int8_t, uint32_t, sxtw)
OSTREL_GATHER_VS(ld1h_s_sxtw, uint16_t, uint32_t, sxtw)
OSTREL_GATHER_VS(ld1sh_s_sxtw, int16_t, uint32_t, sxtw)
OSTREL_GATHER_VS(ld1w_sxtw, uint32_t, uint32_t, sxtw)
OSTREL_GATHER_VS(ld1b_s_uxtw, uint8_t, uint32_t, uxtw)
OSTREL_GATHER_VS(ld1sb_s_uxtw, int8_t, uint32_t, uxtw)
OSTREL_GATHER_VS(ld1h_s_uxtw, uint16_t, uint32_t, uxtw)
OSTREL_GATHER_VS(ld1sh_s_uxtw, int16_t, uint32_t, uxtw)
OSTREL_GATHER_VS(ld1w_uxtw, uint32_t, uint32_t, uxtw)
OSTREL_GATHER_SV(ld1h_s_sxtw, uint16_t, uint32_t, sxtw)
OSTREL_GATHER_SV(ld1sh_s_sxtw, int16_t, uint32_t, sxtw)
OSTREL_GATHER_SV(ld1w_sxtw, uint32_t, uint32_t, sxtw)
OSTREL_GATHER_SV(ld1h_s_uxtw, uint16_t, uint32_t, uxtw)
OSTREL_GATHER_SV(ld1sh_s_uxtw, int16_t, uint32_t, uxtw)
OSTREL_GATHER_SV(ld1w_uxtw, uint32_t, uint32_t, uxtw)

// 64-bit elements: 64-bit address elements, 64-bit offsets, or the low 32 bits of each extended.
#define OSTREL_GATHER_D(name, T, scaled_too)                                                       \
    OSTREL_GATHER_VI(name, T, uint64_t)                                                            \
    OSTREL_GATHER_VS(name, T, uint64_t, whole)                                                     \
    OSTREL_GATHER_VS(name##_sxtw, T, uint64_t, sxtw)                                               \
    OSTREL_GATHER_VS(name##_uxtw, T, uint64_t, uxtw)                                               \
    OSTREL_GATHER_D_SCALED_##scaled_too(name, T)
#define OSTREL_GATHER_D_SCALED_no(name, T)
#define OSTREL_GATHER_D_SCALED_yes(name, T)                                                        \
    OSTREL_GATHER_SV(name, T, uint64_t, whole)                                                     \
    OSTREL_GATHER_SV(name##_sxtw, T, uint64_t, sxtw)                                               \
    OSTREL_GATHER_SV(name##_uxtw, T, uint64_t, uxtw)

// Byte gathers have no scaled forms: the scale would be 1.
OSTREL_GATHER_D(ld1b_d, uint8_t, no)
OSTREL_GATHER_D(ld1sb_d, int8_t, no)
OSTREL_GATHER_D(ld1h_d, uint16_t, yes)
OSTREL_GATHER_D(ld1sh_d, int16_t, yes)
OSTREL_GATHER_D(ld1w_d, uint32_t, yes)
OSTREL_GATHER_D(ld1sw_d, int32_t, yes)
OSTREL_GATHER_D(ld1d, uint64_t, yes)
