// Contiguous stores: ST1B/H/W/D, truncating wider register elements to the memory element, and
// the non-temporal STNT1*, in both addressing forms. Active elements are written in ascending
// order; memory of inactive elements is not touched. When every element is active and the access
// is in one page, the register is written in whole blocks. The tracer runs after the last write.
#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/contiguous_blocks.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;

template <typename T, typename U>
[[gnu::noinline]] void store_elements(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                      uint64_t address) {
    const uint8_t *data = s->z[zt.num];
    for_each_active_element<T, U>(s, pg, address, MEMACCESS_WRITE, [&](unsigned i, uint64_t at) {
        write_guest<T>(at, static_cast<T>(integer::load_element<U>(data, i)));
    });
}

template <typename T, typename U>
aarch64_decode_rc store_contiguous(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                   uint64_t address) {
    if constexpr (sizeof(T) == sizeof(U)) {
        // Memory of an inactive element must not be written at all, so whole blocks only when
        // every element is active.
        const unsigned vl_bytes = ostrel::vector_bytes();
        if (within_first_page(address, vl_bytes) && all_active<U>(s->p[pg.num], vl_bytes)) {
            ostrel::copy_vector(guest_bytes(address), s->z[zt.num], vl_bytes);
            trace_contiguous<T, U>(s, pg, address, MEMACCESS_WRITE);
            return DECODE_OK;
        }
    }
    store_elements<T, U>(s, zt, pg, address);
    return DECODE_OK;
}

} // namespace

#define OSTREL_CONTIGUOUS_STORE(name, T, U) OSTREL_CONTIGUOUS_FORMS(name, store_contiguous, T, U)

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
