// Integer compares into a predicate: vectors against vectors, and vectors against a signed imm5
// (EQ, NE and the signed relations) or an unsigned imm7 (the unsigned relations). Inactive
// elements and the non-first bytes of every element are written 0, and NZCV follows PredTest of
// the governing predicate and the result at the element size.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/compare_elements.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/pred_flags.h"

using namespace ostrel::integer;

namespace {

// Pd = truth(i) on the active elements of Pg, then the flags; Pd is written last so that it may
// also be Pg.
template <typename T, typename Truth>
void compare_into(cpu_state &s, uint32_t pd, uint32_t pg, Truth truth) {
    const unsigned bytes = ostrel::vector_bytes();
    uint8_t result[ostrel::kMaxVectorBytes];
    const uint8_t *governing = s.p[pg];
    for_each_element<T>(bytes, [&](std::size_t i) {
        // The whole element is written: bit 0 of its first byte, zero in the others.
        store_element<T>(result, i,
                         static_cast<T>(load_element<T>(governing, i) & T(truth(i) ? 1 : 0)));
    });
    sve_ptest<T>(&s, governing, result);
    std::memcpy(s.p[pd], result, bytes);
}

// The element size is that of the destination predicate.
template <Relation R, bool Signed>
aarch64_decode_rc vectors(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                          aarch64_z_reg zm) {
    with_element_type(ostrel::plain_type(pd), [&](auto t) {
        using T = decltype(t);
        const uint8_t *a = s->z[zn.num], *b = s->z[zm.num];
        compare_into<T>(*s, pd.num, pg.num, [&](std::size_t i) {
            return compare_elements<R, Signed>(load_element<T>(a, i), load_element<T>(b, i));
        });
    });
    return DECODE_OK;
}

// imm is at the relation's signedness: sign-extended for signed relations, a small non-negative
// number for unsigned ones.
template <Relation R, bool Signed>
aarch64_decode_rc immediate(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                            int64_t imm) {
    with_element_type(ostrel::plain_type(pd), [&](auto t) {
        using T = decltype(t);
        const uint8_t *a = s->z[zn.num];
        compare_into<T>(*s, pd.num, pg.num, [&](std::size_t i) {
            return compare_wide<R, Signed>(load_element<T>(a, i), static_cast<uint64_t>(imm));
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
