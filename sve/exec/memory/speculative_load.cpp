// The fixed-length speculative loads: non-fault LDNF1* (scalar plus immediate) and first-fault
// LDFF1B/LDFF1W/LDFF1D (scalar plus scalar). Neither may end the process on a fault past the point
// the architecture allows; both find unreadable memory with the one-byte readability probe, a
// page at a time, and record the elements they could not load by clearing their FFR bytes.
#include <cstring>

#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/contiguous_blocks.h"
#include "sve/kernels/guest_memory.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using integer::element_active;
using integer::store_element;

bool readable(uint64_t address) {
    return addr_is_readable<char>(
        reinterpret_cast<char volatile *>(static_cast<uintptr_t>(address)));
}

uint64_t page_offset(uint64_t address) {
    return address & (uint64_t{page_size} - 1);
}

// Element i of the register file's FFR no longer counts as loaded.
template <typename U> void clear_ffr_element(cpu_state *s, unsigned i) {
    std::memset(s->ffr + i * sizeof(U), 0, sizeof(U));
}

// LDNF1*: every active element is loaded when its page is readable. The page is probed again
// whenever an element starts in a page the last probe did not cover. An element that is not
// loaded keeps its old value and its FFR bytes become 0; an element that starts in a readable
// page and ends in the next one counts as loaded only when its last byte is readable too.
template <typename T, typename U>
aarch64_decode_rc load_non_fault(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                 uint64_t address) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    ostrel::copy_vector(result, s->z[zt.num], vl_bytes);
    const uint8_t *pred = s->p[pg.num];
    bool page_readable = false;
    bool probed = false;
    uint64_t last_probe_offset = 0;
    const unsigned elements = reg_elements<U>();
    for (unsigned i = 0; i < elements; ++i) {
        if (!element_active<U>(pred, i)) {
            store_element<U>(result, i, U{0});
            continue;
        }
        const uint64_t at = address + uint64_t{i} * sizeof(T);
        if (!probed || page_offset(at) <= last_probe_offset) {
            page_readable = readable(at);
            last_probe_offset = page_offset(at);
            probed = true;
        }
        const bool straddles = page_offset(at) + sizeof(T) > page_size;
        if (page_readable && (!straddles || readable(at + sizeof(T) - 1)))
            store_element<U>(result, i, static_cast<U>(read_guest<T>(at)));
        else
            clear_ffr_element<U>(s, i);
    }
    ostrel::copy_vector(s->z[zt.num], result, vl_bytes);
    trace_contiguous<T, U>(s, pg, address, MEMACCESS_READ);
    return DECODE_OK;
}

// LDFF1* past element `loadable`, or with element 0 inactive: element by element, only the
// elements wholly inside the readable pages; the FFR is cleared from the first element that is not
// loaded to the end.
template <typename T, typename U>
[[gnu::noinline]] void load_first_fault_elements(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                                 uint64_t address, unsigned loadable) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const unsigned elements = vl_bytes / sizeof(U);
    uint8_t result[kMaxVectorBytes];
    ostrel::copy_vector(result, s->z[zt.num], vl_bytes);
    const uint8_t *pred = s->p[pg.num];
    for (unsigned i = 0; i < loadable; ++i) {
        const U value = element_active<U>(pred, i)
                            ? static_cast<U>(read_guest<T>(address + uint64_t{i} * sizeof(T)))
                            : U{0};
        store_element<U>(result, i, value);
    }
    if (loadable < elements)
        std::memset(s->ffr + loadable * sizeof(U), 0, vl_bytes - loadable * sizeof(U));
    ostrel::copy_vector(s->z[zt.num], result, vl_bytes);
}

// LDFF1*: a transfer that stays in one page is an ordinary LD1 (a fault there is a real fault).
// One that runs into the next page probes that page once; if it is unreadable only the elements
// wholly inside the first page are loaded, the rest keep their old values, and the FFR is cleared
// from the first element that is not loaded to the end.
template <typename T, typename U>
aarch64_decode_rc load_first_fault(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                   uint64_t address) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const unsigned elements = vl_bytes / sizeof(U);
    unsigned loadable = elements;
    if (page_offset(address) > page_offset(address + elements * sizeof(T)) &&
        !readable(address + page_size)) {
        const uint64_t first_page_bytes = page_size - page_offset(address);
        const uint64_t whole = first_page_bytes / sizeof(T);
        loadable = whole < loadable ? static_cast<unsigned>(whole) : loadable;
    }
    const uint8_t *pred = s->p[pg.num];
    if (loadable == elements && element_active<U>(pred, 0)) {
        // Element 0 is read anyway, so its page is readable (or the read faults as it would);
        // every element is in that page or in the next, probed readable: read them all and let
        // the predicate pick.
        if constexpr (sizeof(T) == sizeof(U))
            load_active_blocks<U>(s->z[zt.num], guest_bytes(address), pred, vl_bytes);
        else
            load_active_extended<T, U>(s->z[zt.num], guest_bytes(address), pred, vl_bytes);
    } else {
        load_first_fault_elements<T, U>(s, zt, pg, address, loadable);
    }
    trace_contiguous<T, U>(s, pg, address, MEMACCESS_READ);
    return DECODE_OK;
}

} // namespace

#define OSTREL_NON_FAULT_LOAD(name, T, U)                                                          \
    aarch64_decode_rc sve_##name##_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_i_rsp_reg xn, int imm) {                           \
        return load_non_fault<T, U>(s, zt, pg, vector_offset_address<T, U>(*s, xn, imm));          \
    }
#define OSTREL_FIRST_FAULT_LOAD(name, T, U)                                                        \
    aarch64_decode_rc sve_##name##_scaled_zprr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_i_reg xm) {           \
        return load_first_fault<T, U>(s, zt, pg, scaled_index_address<T>(*s, xn, xm));             \
    }

OSTREL_NON_FAULT_LOAD(ldnf1b, uint8_t, uint8_t)
OSTREL_NON_FAULT_LOAD(ldnf1b_h, uint8_t, uint16_t)
OSTREL_NON_FAULT_LOAD(ldnf1b_s, uint8_t, uint32_t)
OSTREL_NON_FAULT_LOAD(ldnf1b_d, uint8_t, uint64_t)
OSTREL_NON_FAULT_LOAD(ldnf1sb_h, int8_t, uint16_t)
OSTREL_NON_FAULT_LOAD(ldnf1sb_s, int8_t, uint32_t)
OSTREL_NON_FAULT_LOAD(ldnf1sb_d, int8_t, uint64_t)
OSTREL_NON_FAULT_LOAD(ldnf1h, uint16_t, uint16_t)
OSTREL_NON_FAULT_LOAD(ldnf1h_s, uint16_t, uint32_t)
OSTREL_NON_FAULT_LOAD(ldnf1h_d, uint16_t, uint64_t)
OSTREL_NON_FAULT_LOAD(ldnf1sh_s, int16_t, uint32_t)
OSTREL_NON_FAULT_LOAD(ldnf1sh_d, int16_t, uint64_t)
OSTREL_NON_FAULT_LOAD(ldnf1w, uint32_t, uint32_t)
OSTREL_NON_FAULT_LOAD(ldnf1w_d, uint32_t, uint64_t)
OSTREL_NON_FAULT_LOAD(ldnf1sw_d, int32_t, uint64_t)
OSTREL_NON_FAULT_LOAD(ldnf1d, uint64_t, uint64_t)

// The halfword and sign-extending first-fault loads run as kernels with guarded reads.
OSTREL_FIRST_FAULT_LOAD(ldff1b, uint8_t, uint8_t)
OSTREL_FIRST_FAULT_LOAD(ldff1b_h, uint8_t, uint16_t)
OSTREL_FIRST_FAULT_LOAD(ldff1b_s, uint8_t, uint32_t)
OSTREL_FIRST_FAULT_LOAD(ldff1b_d, uint8_t, uint64_t)
OSTREL_FIRST_FAULT_LOAD(ldff1w, uint32_t, uint32_t)
OSTREL_FIRST_FAULT_LOAD(ldff1w_d, uint32_t, uint64_t)
OSTREL_FIRST_FAULT_LOAD(ldff1d, uint64_t, uint64_t)
