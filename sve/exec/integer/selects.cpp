// SEL and MOVPRFX at the process's vector length: whole elements chosen by a predicate.
#include "sve/decode/forms.h"
#include "sve/exec/integer/element_loops.h"

namespace {

using ostrel::BlockLanes;
using ostrel::load_block;
using ostrel::plain_type;
using ostrel::store_block;
using ostrel::integer::active_lanes;
using ostrel::integer::blend;

// What inactive elements take when they are zeroed.
const uint8_t kZeroVector[ostrel::kMaxVectorBytes] = {};

// Element i of Zd = Zn[i] where Pg is active, else Zm[i] (inactive_from == nullptr: 0). Block by
// block in place: each block of every source is read before Zd's block is written.
template <typename T>
void choose(uint8_t *zd, const uint8_t *pred, const uint8_t *active_from,
            const uint8_t *inactive_from) {
    const uint8_t *otherwise = inactive_from != nullptr ? inactive_from : kZeroVector;
    ostrel::for_each_block(ostrel::vector_bytes(), [&](std::size_t at) {
        const BlockLanes<T> mask = active_lanes<T>(pred + at);
        const BlockLanes<T> active = load_block<T>(active_from + at),
                            inactive = load_block<T>(otherwise + at);
        BlockLanes<T> out;
        for (unsigned j = 0; j < out.kCount; ++j)
            out.lane[j] = blend(mask.lane[j], active.lane[j], inactive.lane[j]);
        store_block(zd + at, out);
    });
}

// The loop of the element type of a size code, by pointer: a call through with_element_type would
// inline all four loops into one function that is then too large to inline into the executors,
// which would pay for a closure and a second call instead.
void choose_by_size(cpu_state *s, uint32_t zd, uint32_t size, const uint8_t *pred,
                    const uint8_t *active_from, const uint8_t *inactive_from) {
    using Loop = void(uint8_t *, const uint8_t *, const uint8_t *, const uint8_t *);
    static Loop *const kLoops[] = {choose<uint8_t>, choose<uint16_t>, choose<uint32_t>,
                                   choose<uint64_t>};
    kLoops[size <= 3 ? size : 0](s->z[zd], pred, active_from, inactive_from);
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
    ostrel::copy_vector(s->z[zd.num], s->z[zn.num], ostrel::vector_bytes());
    return DECODE_OK;
}
