// Contiguous loads: LD1B/H/W/D, the sign-extending LD1SB/SH/SW and the non-temporal LDNT1*, in
// both addressing forms. Active elements are read in ascending order and extended (by T's
// signedness) to the register element; inactive elements become zero. The finished access is
// handed to the contiguous tracer.
#include <cstring>

#include "sve/exec/integer/element_loops.h"
#include "sve/exec/memory/contiguous_access.h"
#include "sve/trace/memtrace.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using ostrel::integer::element_active;
using ostrel::integer::store_element;

template <typename T, typename U>
aarch64_decode_rc load_contiguous(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                  uint64_t address) {
    uint8_t result[kVectorBytes];
    const uint8_t *pred = s->p[pg.num];
    for (unsigned i = 0; i < kRegElements<U>; ++i) {
        // Converting a signed T to the wider unsigned U sign-extends; an unsigned T zero-extends.
        const U value = element_active<U>(pred, i)
                            ? static_cast<U>(read_guest<T>(address + uint64_t{i} * sizeof(T)))
                            : U{0};
        store_element<U>(result, i, value);
    }
    std::memcpy(s->z[zt.num], result, kVectorBytes);
    memtrace_lin<T, U>(s, reinterpret_cast<T *>(static_cast<uintptr_t>(address)),
                       reinterpret_cast<char *>(s->p[pg.num]), MEMACCESS_READ);
    return DECODE_OK;
}

template <typename T, typename U>
aarch64_decode_rc sve_ld1_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                               aarch64_i_rsp_reg xn, int imm) {
    return load_contiguous<T, U>(s, zt, pg, vector_offset_address<T, U>(*s, xn, imm));
}

template <typename T, typename U>
aarch64_decode_rc sve_ld1_zprr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                               aarch64_i_rsp_reg xn, aarch64_i_reg xm) {
    return load_contiguous<T, U>(s, zt, pg, scaled_index_address<T>(*s, xn, xm));
}

} // namespace

// One mnemonic in both addressing forms: sve_<name>_zpri and sve_<name>_scaled_zprr.
#define OSTREL_CONTIGUOUS_LOAD(name, T, U)                                                         \
    aarch64_decode_rc sve_##name##_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_i_rsp_reg xn, int imm) {                           \
        return sve_ld1_zpri<T, U>(s, zt, pg, xn, imm);                                             \
    }                                                                                              \
    aarch64_decode_rc sve_##name##_scaled_zprr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_i_reg xm) {           \
        return sve_ld1_zprr<T, U>(s, zt, pg, xn, xm);                                              \
    }

OSTREL_CONTIGUOUS_LOAD(ld1b, uint8_t, uint8_t)
OSTREL_CONTIGUOUS_LOAD(ld1b_h, uint8_t, uint16_t)
OSTREL_CONTIGUOUS_LOAD(ld1b_s, uint8_t, uint32_t)
OSTREL_CONTIGUOUS_LOAD(ld1b_d, uint8_t, uint64_t)
OSTREL_CONTIGUOUS_LOAD(ld1sb_h, int8_t, uint16_t)
OSTREL_CONTIGUOUS_LOAD(ld1sb_s, int8_t, uint32_t)
OSTREL_CONTIGUOUS_LOAD(ld1sb_d, int8_t, uint64_t)
OSTREL_CONTIGUOUS_LOAD(ld1h, uint16_t, uint16_t)
OSTREL_CONTIGUOUS_LOAD(ld1h_s, uint16_t, uint32_t)
OSTREL_CONTIGUOUS_LOAD(ld1h_d, uint16_t, uint64_t)
OSTREL_CONTIGUOUS_LOAD(ld1sh_s, int16_t, uint32_t)
OSTREL_CONTIGUOUS_LOAD(ld1sh_d, int16_t, uint64_t)
OSTREL_CONTIGUOUS_LOAD(ld1w, uint32_t, uint32_t)
OSTREL_CONTIGUOUS_LOAD(ld1w_d, uint32_t, uint64_t)
OSTREL_CONTIGUOUS_LOAD(ld1sw_d, int32_t, uint64_t)
OSTREL_CONTIGUOUS_LOAD(ld1d, uint64_t, uint64_t)

// No cache hint is modelled: the non-temporal loads are LD1 of the same size.
OSTREL_CONTIGUOUS_LOAD(ldnt1b, uint8_t, uint8_t)
OSTREL_CONTIGUOUS_LOAD(ldnt1h, uint16_t, uint16_t)
OSTREL_CONTIGUOUS_LOAD(ldnt1w, uint32_t, uint32_t)
OSTREL_CONTIGUOUS_LOAD(ldnt1d, uint64_t, uint64_t)

#undef OSTREL_CONTIGUOUS_LOAD
