// Contiguous loads: LD1B/H/W/D, the sign-extending LD1SB/SH/SW and the non-temporal LDNT1*, in
// both addressing forms. Active elements are read in ascending order and extended (by T's
// signedness) to the register element; inactive elements become zero. When element 0 is active
// and no other element can fault first (see predicate_free_prefix), all elements are read at once
// and the predicate picks.
// The finished access is handed to the contiguous tracer.
#include <cstring>

#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/contiguous_blocks.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;

// Element by element, for accesses that may fault past element 0. Kept out of line: its buffer
// would make every access save registers.
template <typename T, typename U>
[[gnu::noinline]] void load_elements(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                     uint64_t address) {
    uint8_t result[kMaxVectorBytes] = {};
    for_each_active_element<T, U>(s, pg, address, MEMACCESS_READ, [&](unsigned i, uint64_t at) {
        // Converting a signed T to the wider unsigned U sign-extends; an unsigned T zero-extends.
        integer::store_element<U>(result, i, static_cast<U>(read_guest<T>(at)));
    });
    ostrel::copy_vector(s->z[zt.num], result, ostrel::vector_bytes());
}

template <typename T, typename U>
aarch64_decode_rc load_contiguous(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                  uint64_t address) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint8_t *pred = s->p[pg.num];
    const unsigned elements = reg_elements<U>();
    const auto active = [pred](unsigned i) { return integer::element_active<U>(pred, i); };
    if (predicate_free_prefix(address, sizeof(T), elements, active) < elements) {
        load_elements<T, U>(s, zt, pg, address);
        return DECODE_OK;
    }
    if constexpr (sizeof(T) == sizeof(U))
        load_active_blocks<U>(s->z[zt.num], guest_bytes(address), pred, vl_bytes);
    else
        load_active_extended<T, U>(s->z[zt.num], guest_bytes(address), pred, vl_bytes);
    trace_contiguous<T, U>(s, pg, address, MEMACCESS_READ);
    return DECODE_OK;
}

} // namespace

#define OSTREL_CONTIGUOUS_LOAD(name, T, U) OSTREL_CONTIGUOUS_FORMS(name, load_contiguous, T, U)

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
