// Contiguous stores: ST1B/H/W/D, truncating wider register elements to the memory element, and
// the non-temporal STNT1*, in both addressing forms. Active elements are written in ascending
// order; memory of inactive elements is not touched. The tracer runs after the last write.
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/memory/contiguous_access.h"
#include "sve/trace/memtrace.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using ostrel::integer::element_active;
using ostrel::integer::load_element;

template <typename T, typename U>
aarch64_decode_rc store_contiguous(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                   uint64_t address) {
    const uint8_t *data = s->z[zt.num];
    const uint8_t *pred = s->p[pg.num];
    for (unsigned i = 0; i < kRegElements<U>; ++i) {
        if (!element_active<U>(pred, i)) continue;
        write_guest<T>(address + uint64_t{i} * sizeof(T), static_cast<T>(load_element<U>(data, i)));
    }
    memtrace_lin<T, U>(s, reinterpret_cast<T *>(static_cast<uintptr_t>(address)),
                       reinterpret_cast<char *>(s->p[pg.num]), MEMACCESS_WRITE);
    return DECODE_OK;
}

template <typename T, typename U>
aarch64_decode_rc sve_st1_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                               aarch64_i_rsp_reg xn, int imm) {
    return store_contiguous<T, U>(s, zt, pg, vector_offset_address<T, U>(*s, xn, imm));
}

template <typename T, typename U>
aarch64_decode_rc sve_st1_zprr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                               aarch64_i_rsp_reg xn, aarch64_i_reg xm) {
    return store_contiguous<T, U>(s, zt, pg, scaled_index_address<T>(*s, xn, xm));
}

} // namespace

// One mnemonic in both addressing forms: sve_<name>_zpri and sve_<name>_scaled_zprr.
#define OSTREL_CONTIGUOUS_STORE(name, T, U)                                                        \
    aarch64_decode_rc sve_##name##_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_i_rsp_reg xn, int imm) {                           \
        return sve_st1_zpri<T, U>(s, zt, pg, xn, imm);                                             \
    }                                                                                              \
    aarch64_decode_rc sve_##name##_scaled_zprr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_i_reg xm) {           \
        return sve_st1_zprr<T, U>(s, zt, pg, xn, xm);                                              \
    }

OSTREL_CONTIGUOUS_STORE(st1b, uint8_t, uint8_t)
OSTREL_CONTIGUOUS_STORE(st1b_h, uint8_t, uint16_t)
OSTREL_CONTIGUOUS_STORE(st1b_s, uint8_t, uint32_t)
OSTREL_CONTIGUOUS_STORE(st1b_d, uint8_t, uint64_t)
OSTREL_CONTIGUOUS_STORE(st1h, uint16_t, uint16_t)
OSTREL_CONTIGUOUS_STORE(st1h_s, uint16_t, uint32_t)
OSTREL_CONTIGUOUS_STORE(st1h_d, uint16_t, uint64_t)
OSTREL_CONTIGUOUS_STORE(st1w, uint32_t, uint32_t)
OSTREL_CONTIGUOUS_STORE(st1w_d, uint32_t, uint64_t)
OSTREL_CONTIGUOUS_STORE(st1d, uint64_t, uint64_t)

// No cache hint is modelled: the non-temporal stores are ST1 of the same size.
OSTREL_CONTIGUOUS_STORE(stnt1b, uint8_t, uint8_t)
OSTREL_CONTIGUOUS_STORE(stnt1h, uint16_t, uint16_t)
OSTREL_CONTIGUOUS_STORE(stnt1w, uint32_t, uint32_t)
OSTREL_CONTIGUOUS_STORE(stnt1d, uint64_t, uint64_t)

#undef OSTREL_CONTIGUOUS_STORE
