// Scatter stores (ST1B/H/W/D) in every addressing form, the counterpart of the gathers: the low
// bytes of each active element are written in ascending element order, so where two active
// elements share an address the higher-numbered one's bytes remain. Memory of inactive elements is
// untouched. Each active element is traced on its own.
#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/gather_address.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using integer::element_active;
using integer::load_element;

// T is the memory element, U the register element; address(i) gives element i's address. The
// address and offset registers may be the data register: every element is read before any
// memory is written, and none of them is written.
template <typename T, typename U, typename Address>
aarch64_decode_rc scatter(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg, Address &&address) {
    ElementAddresses traced;
    const uint8_t *pred = s->p[pg.num];
    const uint8_t *data = s->z[zt.num];
    for (unsigned i = 0; i < kRegElements<U>; ++i) {
        if (!element_active<U>(pred, i)) continue;
        const uint64_t at = address(i);
        traced.push_back(at);
        write_guest<T>(at, static_cast<T>(load_element<U>(data, i)));
    }
    emit_element_records(s, MEMACCESS_WRITE, sizeof(T), traced);
    return DECODE_OK;
}

template <typename T, typename U>
aarch64_decode_rc scatter_vector_base(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                      aarch64_z_reg zn, unsigned imm) {
    const uint8_t *bases = s->z[zn.num];
    return scatter<T, U>(s, zt, pg, [&](unsigned i) {
        return vector_base_address(load_element<U>(bases, i), imm, sizeof(T));
    });
}

template <typename T, typename U, AdrOffset Kind, bool Scaled>
aarch64_decode_rc scatter_offsets(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                  aarch64_i_rsp_reg xn, aarch64_z_reg zm) {
    const uint64_t base = read_gpr_or_sp(*s, xn);
    const uint8_t *offsets = s->z[zm.num];
    return scatter<T, U>(s, zt, pg, [&](unsigned i) {
        return vector_offset_address<Kind>(base, load_element<U>(offsets, i),
                                           Scaled ? kLog2Size<T> : 0);
    });
}

} // namespace

#define OSTREL_SCATTER_VI(name, T, U)                                                              \
    aarch64_decode_rc sve_##name##_zpzi(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_z_reg zn, unsigned int imm) {                      \
        return scatter_vector_base<T, U>(s, zt, pg, zn, imm);                                      \
    }
#define OSTREL_SCATTER_VS(name, T, U, kind)                                                        \
    aarch64_decode_rc sve_##name##_zpzr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_z_reg zm, aarch64_i_rsp_reg xn) {                  \
        return scatter_offsets<T, U, AdrOffset::kind, false>(s, zt, pg, xn, zm);                   \
    }
#define OSTREL_SCATTER_SV(name, T, U, kind)                                                        \
    aarch64_decode_rc sve_##name##_scaled_zprz(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_z_reg zm) {           \
        return scatter_offsets<T, U, AdrOffset::kind, true>(s, zt, pg, xn, zm);                    \
    }

// 32-bit elements.
OSTREL_SCATTER_VI(st1b_s, uint8_t, uint32_t)
OSTREL_SCATTER_VI(st1h_s, uint16_t, uint32_t)
OSTREL_SCATTER_VI(st1w, uint32_t, uint32_t)
OSTREL_SCATTER_VS(st1b_s_sxtw, uint8_t, uint32_t, sxtw)
OSTREL_SCATTER_VS(st1h_s_sxtw, uint16_t, uint32_t, sxtw)
OSTREL_SCATTER_VS(st1w_sxtw, uint32_t, uint32_t, sxtw)
OSTREL_SCATTER_VS(st1b_s_uxtw, uint8_t, uint32_t, uxtw)
OSTREL_SCATTER_VS(st1h_s_uxtw, uint16_t, uint32_t, uxtw)
OSTREL_SCATTER_VS(st1w_uxtw, uint32_t, uint32_t, uxtw)
OSTREL_SCATTER_SV(st1h_s_sxtw, uint16_t, uint32_t, sxtw)
OSTREL_SCATTER_SV(st1w_sxtw, uint32_t, uint32_t, sxtw)
OSTREL_SCATTER_SV(st1h_s_uxtw, uint16_t, uint32_t, uxtw)
OSTREL_SCATTER_SV(st1w_uxtw, uint32_t, uint32_t, uxtw)

// 64-bit elements; byte scatters have no scaled forms.
#define OSTREL_SCATTER_D(name, T, scaled_too)                                                      \
    OSTREL_SCATTER_VI(name, T, uint64_t)                                                           \
    OSTREL_SCATTER_VS(name, T, uint64_t, whole)                                                    \
    OSTREL_SCATTER_VS(name##_sxtw, T, uint64_t, sxtw)                                              \
    OSTREL_SCATTER_VS(name##_uxtw, T, uint64_t, uxtw)                                              \
    OSTREL_SCATTER_D_SCALED_##scaled_too(name, T)
#define OSTREL_SCATTER_D_SCALED_no(name, T)
#define OSTREL_SCATTER_D_SCALED_yes(name, T)                                                       \
    OSTREL_SCATTER_SV(name, T, uint64_t, whole)                                                    \
    OSTREL_SCATTER_SV(name##_sxtw, T, uint64_t, sxtw)                                              \
    OSTREL_SCATTER_SV(name##_uxtw, T, uint64_t, uxtw)

OSTREL_SCATTER_D(st1b_d, uint8_t, no)
OSTREL_SCATTER_D(st1h_d, uint16_t, yes)
OSTREL_SCATTER_D(st1w_d, uint32_t, yes)
OSTREL_SCATTER_D(st1d, uint64_t, yes)
