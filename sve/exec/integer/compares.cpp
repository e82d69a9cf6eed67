// Integer compares into a predicate: vectors against vectors, and vectors against a signed imm5
// (EQ, NE and the signed relations) or an unsigned imm7 (the unsigned relations). Inactive
// elements and the non-first bytes of every element are written 0, and NZCV follows PredTest of
// the governing predicate and the result at the element size.
#include <cassert>
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/compare_elements.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/vector_blocks.h"

using namespace ostrel::integer;

namespace {

// Pd = truth(at) on the active elements of Pg, one 16-byte block at a time, then the flags.
// truth(at) gives the lane masks of the block at byte `at`. Block k of Pd depends only on block k
// of the sources, so Pd may also be Pg; the ends of Pg that the flags need are found before Pd is
// written.
template <typename T, typename BlockTruth>
void compare_into(cpu_state &s, uint32_t pd, uint32_t pg, BlockTruth truth) {
    const unsigned bytes = ostrel::vector_bytes();
    const uint8_t *governing = s.p[pg];
    uint8_t *out = s.p[pd];
    const ostrel::ActiveEnds ends = ostrel::active_ends<T>(governing, bytes);
    Lanes<T> any_set = {};
    ostrel::for_each_block(bytes, [&](std::size_t at) {
        Lanes<T> g;
        std::memcpy(&g, governing + at, sizeof g);
        // The whole element is written: bit 0 of its first byte, zero in the others.
        const Lanes<T> result = g & truth(at) & T{1};
        any_set |= result;
        std::memcpy(out + at, &result, sizeof result);
    });
    const bool first = (out[ends.first] & 1u) != 0, last = (out[ends.last] & 1u) != 0;
    const bool any = ostrel::fold_lanes<T>(any_set) != 0;
    s.nzcv = ostrel::with_flags(s.nzcv, ostrel::pred_test_flags(ends.any, first, any, last));
}

// The element size is that of the destination predicate.
template <Relation R, bool Signed>
aarch64_decode_rc vectors(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                          aarch64_z_reg zm) {
    with_element_type(ostrel::plain_type(pd), [&](auto t) {
        using T = decltype(t);
        const uint8_t *a = s->z[zn.num], *b = s->z[zm.num];
        compare_into<T>(*s, pd.num, pg.num, [&](std::size_t at) {
            return compare_lanes<R, Signed, T>(ostrel::load_lanes<T>(a + at),
                                               ostrel::load_lanes<T>(b + at));
        });
    });
    return DECODE_OK;
}

// imm is at the relation's signedness: a signed imm5 sign-extended for signed relations, an
// unsigned imm7 for unsigned ones. Either is an element of every size at that signedness, so the
// compare runs at the element's width.
template <Relation R, bool Signed>
aarch64_decode_rc immediate(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                            int64_t imm) {
    with_element_type(ostrel::plain_type(pd), [&](auto t) {
        using T = decltype(t);
        assert(static_cast<int64_t>(widen<Signed>(static_cast<T>(imm))) == imm);
        const uint8_t *a = s->z[zn.num];
        const Lanes<T> b = Lanes<T>{} + static_cast<T>(imm);
        compare_into<T>(*s, pd.num, pg.num, [&](std::size_t at) {
            return compare_lanes<R, Signed, T>(ostrel::load_lanes<T>(a + at), b);
        });
    });
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_cmpeq_ppzz(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return vectors<Relation::eq, true>(state, pd, pg, zn, zm);
}
aarch64_decode_rc sve_cmpne_ppzz(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return vectors<Relation::ne, true>(state, pd, pg, zn, zm);
}
aarch64_decode_rc sve_cmpgt_ppzz(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return vectors<Relation::gt, true>(state, pd, pg, zn, zm);
}
aarch64_decode_rc sve_cmpge_ppzz(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return vectors<Relation::ge, true>(state, pd, pg, zn, zm);
}
aarch64_decode_rc sve_cmphi_ppzz(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return vectors<Relation::gt, false>(state, pd, pg, zn, zm);
}
aarch64_decode_rc sve_cmphs_ppzz(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return vectors<Relation::ge, false>(state, pd, pg, zn, zm);
}

aarch64_decode_rc sve_cmpeq_ppzi(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, int imm) {
    return immediate<Relation::eq, true>(state, pd, pg, zn, imm);
}
aarch64_decode_rc sve_cmpne_ppzi(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, int imm) {
    return immediate<Relation::ne, true>(state, pd, pg, zn, imm);
}
aarch64_decode_rc sve_cmpgt_ppzi(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, int imm) {
    return immediate<Relation::gt, true>(state, pd, pg, zn, imm);
}
aarch64_decode_rc sve_cmplt_ppzi(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, int imm) {
    return immediate<Relation::lt, true>(state, pd, pg, zn, imm);
}
aarch64_decode_rc sve_cmple_ppzi(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, int imm) {
    return immediate<Relation::le, true>(state, pd, pg, zn, imm);
}
aarch64_decode_rc sve_cmphi_ppzi(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, unsigned int imm) {
    return immediate<Relation::gt, false>(state, pd, pg, zn, imm);
}
aarch64_decode_rc sve_cmplo_ppzi(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pg,
                                 aarch64_z_reg zn, unsigned int imm) {
    return immediate<Relation::lt, false>(state, pd, pg, zn, imm);
}
