// Gather loads (LD1B/H/W/D, LD1SB/SH/SW) in every addressing form: vector plus immediate, and
// scalar plus vector with 64-bit, SXTW or UXTW offsets, unscaled or scaled by the memory element.
// Active elements are read in ascending order and extended (by T's signedness) to the register
// element; inactive elements become zero. Each active element is traced on its own.
#include <cstring>

#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/contiguous_blocks.h"
#include "sve/exec/memory/element_records.h"
#include "sve/exec/memory/gather_address.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using integer::element_active;
using integer::store_element;

// T is the memory element, U the register element; address(i) gives element i's address. The
// trace, if any, is taken before Zt is written: Zt may also hold the addresses or offsets.
template <typename T, typename U, typename Address>
aarch64_decode_rc gather(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg, Address &&address) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    const uint8_t *pred = s->p[pg.num];
    const unsigned elements = reg_elements<U>();
    // Converting a signed T to the wider unsigned U sign-extends; an unsigned T zero-extends.
    if (all_active<U>(pred, vl_bytes)) {
        for (unsigned i = 0; i < elements; ++i)
            store_element<U>(result, i, static_cast<U>(read_guest<T>(address(i))));
    } else {
        for (unsigned i = 0; i < elements; ++i) {
            const U value =
                element_active<U>(pred, i) ? static_cast<U>(read_guest<T>(address(i))) : U{0};
            store_element<U>(result, i, value);
        }
    }
    if (ostrel::thread_tracing()) trace_active_elements<T, U>(s, pred, address, MEMACCESS_READ);
    ostrel::copy_vector(s->z[zt.num], result, vl_bytes);
    return DECODE_OK;
}

} // namespace

// 32-bit elements: 32-bit address elements (zero-extended) or 32-bit offsets.
OSTREL_VECTOR_ADDRESS_VI(ld1b_s, gather, uint8_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VI(ld1sb_s, gather, int8_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VI(ld1h_s, gather, uint16_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VI(ld1sh_s, gather, int16_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VI(ld1w, gather, uint32_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VS(ld1b_s_sxtw, gather, uint8_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1sb_s_sxtw, gather, int8_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1h_s_sxtw, gather, uint16_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1sh_s_sxtw, gather, int16_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1w_sxtw, gather, uint32_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1b_s_uxtw, gather, uint8_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1sb_s_uxtw, gather, int8_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1h_s_uxtw, gather, uint16_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1sh_s_uxtw, gather, int16_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_VS(ld1w_uxtw, gather, uint32_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_SV(ld1h_s_sxtw, gather, uint16_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_SV(ld1sh_s_sxtw, gather, int16_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_SV(ld1w_sxtw, gather, uint32_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_SV(ld1h_s_uxtw, gather, uint16_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_SV(ld1sh_s_uxtw, gather, int16_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_SV(ld1w_uxtw, gather, uint32_t, uint32_t, uxtw)

// 64-bit elements: 64-bit address elements, 64-bit offsets, or the low 32 bits of each extended.
OSTREL_VECTOR_ADDRESS_D(ld1b_d, gather, uint8_t, no)
OSTREL_VECTOR_ADDRESS_D(ld1sb_d, gather, int8_t, no)
OSTREL_VECTOR_ADDRESS_D(ld1h_d, gather, uint16_t, yes)
OSTREL_VECTOR_ADDRESS_D(ld1sh_d, gather, int16_t, yes)
OSTREL_VECTOR_ADDRESS_D(ld1w_d, gather, uint32_t, yes)
OSTREL_VECTOR_ADDRESS_D(ld1sw_d, gather, int32_t, yes)
OSTREL_VECTOR_ADDRESS_D(ld1d, gather, uint64_t, yes)
