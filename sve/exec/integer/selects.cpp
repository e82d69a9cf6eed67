// SEL and MOVPRFX at the process's vector length: whole elements chosen by a predicate.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/element_loops.h"

namespace {

using ostrel::plain_type;
using ostrel::integer::active_mask;
using ostrel::integer::blend;
using ostrel::integer::load_element;
using ostrel::integer::store_element;

// What inactive elements take when they are zeroed.
const uint8_t kZeroVector[ostrel::kMaxVectorBytes] = {};

// Element i = Zn[i] where Pg is active, else Zm[i] (inactive_from == nullptr: 0).
template <typename T>
void choose(uint8_t *result, unsigned bytes, const uint8_t *pred, const uint8_t *active_from,
            const uint8_t *inactive_from) {
    const uint8_t *otherwise = inactive_from != nullptr ? inactive_from : kZeroVector;
    ostrel::integer::for_each_element<T>(bytes, [&](std::size_t i) {
        store_element<T>(result, i,
                         blend(active_mask<T>(pred, i), load_element<T>(active_from, i),
                               load_element<T>(otherwise, i)));
    });
}

void choose_by_size(cpu_state *s, uint32_t zd, uint32_t size, const uint8_t *pred,
                    const uint8_t *active_from, const uint8_t *inactive_from) {
    const unsigned bytes = ostrel::vector_bytes();
    uint8_t result[ostrel::kMaxVectorBytes];
    ostrel::integer::with_element_type(size, [&](auto t) {
        using T = decltype(t);
        choose<T>(result, bytes, pred, active_from, inactive_from);
    });
    ostrel::copy_vector(s->z[zd], result, bytes);
}

} // namespace

aarch64_decode_rc sve_sel_zpzz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn,
                               aarch64_z_reg zm) {
    choose_by_size(s, zd.num, plain_type(zd), s->p[pg.num], s->z[zn.num], s->z[zm.num]);
    return DECODE_OK;
}

// The governing predicate's qualifier says whether inactive elements are zeroed or kept.
aarch64_decode_rc sve_movprfx_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                  aarch64_z_reg zn) {
    const bool zeroing = plain_type(pg) == ostrel::kPredZeroing;
    choose_by_size(s, zd.num, plain_type(zd), s->p[pg.num], s->z[zn.num],
                   zeroing ? nullptr : s->z[zd.num]);
    return DECODE_OK;
}

aarch64_decode_rc sve_movprfx_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    std::memmove(s->z[zd.num], s->z[zn.num], ostrel::vector_bytes());
    return DECODE_OK;
}
