// Load and replicate (LD1R*): one memory element, extended to the register element, fills every
// active element; inactive elements become zero. Not traced.
#include <cstring>

#include "sve/exec/integer/element_loops.h"
#include "sve/exec/memory/contiguous_access.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using ostrel::integer::element_active;
using ostrel::integer::store_element;

// The unsigned immediate counts memory elements. The element is read once per active element,
// so an all-false predicate reads no memory at all.
template <typename T, typename U>
aarch64_decode_rc sve_ld1r_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                aarch64_i_rsp_reg xn, unsigned int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint64_t address = read_gpr_or_sp(*s, xn) + uint64_t{imm} * sizeof(T);
    uint8_t result[kMaxVectorBytes];
    const uint8_t *pred = s->p[pg.num];
    const unsigned elements = reg_elements<U>();
    for (unsigned i = 0; i < elements; ++i) {
        const U value = element_active<U>(pred, i) ? static_cast<U>(read_guest<T>(address)) : U{0};
        store_element<U>(result, i, value);
    }
    ostrel::copy_vector(s->z[zt.num], result, vl_bytes);
    return DECODE_OK;
}

} // namespace

#define OSTREL_LOAD_REPLICATE(name, T, U)                                                          \
    aarch64_decode_rc sve_##name##_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_i_rsp_reg xn, unsigned int imm) {                  \
        return sve_ld1r_zpri<T, U>(s, zt, pg, xn, imm);                                            \
    }

OSTREL_LOAD_REPLICATE(ld1rb, uint8_t, uint8_t)
OSTREL_LOAD_REPLICATE(ld1rb_h, uint8_t, uint16_t)
OSTREL_LOAD_REPLICATE(ld1rb_s, uint8_t, uint32_t)
OSTREL_LOAD_REPLICATE(ld1rb_d, uint8_t, uint64_t)
OSTREL_LOAD_REPLICATE(ld1rsb_h, int8_t, uint16_t)
OSTREL_LOAD_REPLICATE(ld1rsb_s, int8_t, uint32_t)
OSTREL_LOAD_REPLICATE(ld1rsb_d, int8_t, uint64_t)
OSTREL_LOAD_REPLICATE(ld1rh, uint16_t, uint16_t)
OSTREL_LOAD_REPLICATE(ld1rh_s, uint16_t, uint32_t)
OSTREL_LOAD_REPLICATE(ld1rh_d, uint16_t, uint64_t)
OSTREL_LOAD_REPLICATE(ld1rsh_s, int16_t, uint32_t)
OSTREL_LOAD_REPLICATE(ld1rsh_d, int16_t, uint64_t)
OSTREL_LOAD_REPLICATE(ld1rw, uint32_t, uint32_t)
OSTREL_LOAD_REPLICATE(ld1rw_d, uint32_t, uint64_t)
OSTREL_LOAD_REPLICATE(ld1rsw_d, int32_t, uint64_t)
OSTREL_LOAD_REPLICATE(ld1rd, uint64_t, uint64_t)

#undef OSTREL_LOAD_REPLICATE
