// Structure loads and stores (LD2/LD3/LD4 and ST2/ST3/ST4 of bytes, halfwords, words and
// doublewords), scalar plus immediate and scalar plus scalar. Structure i holds N members of
// sizeof(T) bytes at A + (i * N + r) * sizeof(T); member r lives in element i of register
// (Zt + r) mod 32, so Z31 is followed by Z0. Structure i is active when its element of the
// governing predicate is. Each active structure is traced as one record that covers all of its
// members.
#include <cstring>

#include "sve/exec/memory/contiguous_access.h"
#include "sve/exec/memory/contiguous_blocks.h"
#include "sve/exec/memory/structure_blocks.h"

// The executors' declarations come from their operand layouts.
#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

namespace {

using namespace ostrel;
using namespace ostrel::memory;
using integer::element_active;
using integer::load_element;
using integer::store_element;

unsigned member_register(aarch64_z_reg zt, unsigned r) {
    return (zt.num + r) % 32;
}

// One record per active structure, covering all of its members, when the calling thread traces.
template <typename T, unsigned N>
[[gnu::noinline]] void trace_structures(const cpu_state *s, const uint8_t *pred, uint64_t address,
                                        memaccess_type_t type) {
    ElementAddresses traced;
    const unsigned elements = reg_elements<T>();
    for (unsigned i = 0; i < elements; ++i)
        if (element_active<T>(pred, i)) traced.push_back(address + uint64_t{i} * N * sizeof(T));
    emit_element_records(s, type, N * sizeof(T), traced);
}

// Structures 0 to `whole` - 1 (see predicate_free_prefix) are read without a branch and the
// predicate picks; the rest one active structure at a time.
template <typename T, unsigned N>
aarch64_decode_rc load_structures(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                  uint64_t address) {
    const uint8_t *pred = s->p[pg.num];
    const unsigned elements = reg_elements<T>();
    const uint8_t *memory = guest_bytes(address);
    const unsigned whole =
        predicate_free_prefix(address, N * sizeof(T), elements,
                              [pred](unsigned i) { return element_active<T>(pred, i); });
    // The members go straight to their registers, which are neither the predicate nor each other.
    uint8_t *members[N];
    for (unsigned r = 0; r < N; ++r)
        members[r] = s->z[member_register(zt, r)];
    if constexpr (kUnzippable<N>) {
        if (whole == elements) {
            load_structure_blocks<T, N>(members, memory, pred, ostrel::vector_bytes());
            if (ostrel::thread_tracing()) trace_structures<T, N>(s, pred, address, MEMACCESS_READ);
            return DECODE_OK;
        }
    }
    for (unsigned i = 0; i < whole; ++i) {
        const T mask = integer::active_mask<T>(pred, i);
        for (unsigned r = 0; r < N; ++r)
            store_element<T>(members[r], i,
                             static_cast<T>(load_element<T>(memory, i * N + r) & mask));
    }
    for (unsigned i = whole; i < elements; ++i) {
        const bool active = element_active<T>(pred, i);
        for (unsigned r = 0; r < N; ++r)
            store_element<T>(members[r], i,
                             active ? read_guest<T>(address + (uint64_t{i} * N + r) * sizeof(T))
                                    : T{0});
    }
    if (ostrel::thread_tracing()) trace_structures<T, N>(s, pred, address, MEMACCESS_READ);
    return DECODE_OK;
}

template <typename T, unsigned N>
aarch64_decode_rc store_structures(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,
                                   uint64_t address) {
    const uint8_t *pred = s->p[pg.num];
    const unsigned elements = reg_elements<T>();
    for (unsigned i = 0; i < elements; ++i) {
        if (!element_active<T>(pred, i)) continue;
        const uint64_t first = address + uint64_t{i} * N * sizeof(T);
        for (unsigned r = 0; r < N; ++r)
            write_guest<T>(first + r * sizeof(T), load_element<T>(s->z[member_register(zt, r)], i));
    }
    if (ostrel::thread_tracing()) trace_structures<T, N>(s, pred, address, MEMACCESS_WRITE);
    return DECODE_OK;
}

// Scalar plus immediate: the immediate counts whole transfers of N registers.
template <typename T, unsigned N>
uint64_t structure_block_address(const cpu_state &s, aarch64_i_rsp_reg xn, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    return read_gpr_or_sp(s, xn) + static_cast<uint64_t>(int64_t{imm}) * N * vl_bytes;
}

} // namespace

#define OSTREL_STRUCTURE_FORMS(name, access, T, N)                                                 \
    aarch64_decode_rc sve_##name##_zpri(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,          \
                                        aarch64_i_rsp_reg xn, int imm) {                           \
        return access<T, N>(s, zt, pg, structure_block_address<T, N>(*s, xn, imm));                \
    }                                                                                              \
    aarch64_decode_rc sve_##name##_scaled_zprr(cpu_state *s, aarch64_z_reg zt, aarch64_p_reg pg,   \
                                               aarch64_i_rsp_reg xn, aarch64_i_reg xm) {           \
        return access<T, N>(s, zt, pg, scaled_index_address<T>(*s, xn, xm));                       \
    }
#define OSTREL_STRUCTURE_SIZES(n)                                                                  \
    OSTREL_STRUCTURE_FORMS(ld##n##b, load_structures, uint8_t, n)                                  \
    OSTREL_STRUCTURE_FORMS(ld##n##h, load_structures, uint16_t, n)                                 \
    OSTREL_STRUCTURE_FORMS(ld##n##w, load_structures, uint32_t, n)                                 \
    OSTREL_STRUCTURE_FORMS(ld##n##d, load_structures, uint64_t, n)                                 \
    OSTREL_STRUCTURE_FORMS(st##n##b, store_structures, uint8_t, n)                                 \
    OSTREL_STRUCTURE_FORMS(st##n##h, store_structures, uint16_t, n)                                \
    OSTREL_STRUCTURE_FORMS(st##n##w, store_structures, uint32_t, n)                                \
    OSTREL_STRUCTURE_FORMS(st##n##d, store_structures, uint64_t, n)

OSTREL_STRUCTURE_SIZES(2)
OSTREL_STRUCTURE_SIZES(3)
OSTREL_STRUCTURE_SIZES(4)
