// Scatter stores (ST1B/H/W/D) in every addressing form, the counterpart of the gathers: the low
// bytes of each active element are written in ascending element order, so where two active
// elements share an address the higher-numbered one's bytes remain. Memory of inactive elements is
// untouched. Each active element is traced on its own.
#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/element_records.h"
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
    const uint8_t *pred = s->p[pg.num];
    const uint8_t *data = s->z[zt.num];
    const unsigned elements = reg_elements<U>();
    for (unsigned i = 0; i < elements; ++i)
        if (element_active<U>(pred, i))
            write_guest<T>(address(i), static_cast<T>(load_element<U>(data, i)));
    if (ostrel::thread_tracing()) trace_active_elements<T, U>(s, pred, address, MEMACCESS_WRITE);
    return DECODE_OK;
}

} // namespace

// 32-bit elements.
OSTREL_VECTOR_ADDRESS_VI(st1b_s, scatter, uint8_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VI(st1h_s, scatter, uint16_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VI(st1w, scatter, uint32_t, uint32_t)
OSTREL_VECTOR_ADDRESS_VS(st1b_s_sxtw, scatter, uint8_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(st1h_s_sxtw, scatter, uint16_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(st1w_sxtw, scatter, uint32_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_VS(st1b_s_uxtw, scatter, uint8_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_VS(st1h_s_uxtw, scatter, uint16_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_VS(st1w_uxtw, scatter, uint32_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_SV(st1h_s_sxtw, scatter, uint16_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_SV(st1w_sxtw, scatter, uint32_t, uint32_t, sxtw)
OSTREL_VECTOR_ADDRESS_SV(st1h_s_uxtw, scatter, uint16_t, uint32_t, uxtw)
OSTREL_VECTOR_ADDRESS_SV(st1w_uxtw, scatter, uint32_t, uint32_t, uxtw)

// 64-bit elements.
OSTREL_VECTOR_ADDRESS_D(st1b_d, scatter, uint8_t, no)
OSTREL_VECTOR_ADDRESS_D(st1h_d, scatter, uint16_t, yes)
OSTREL_VECTOR_ADDRESS_D(st1w_d, scatter, uint32_t, yes)
OSTREL_VECTOR_ADDRESS_D(st1d, scatter, uint64_t, yes)
