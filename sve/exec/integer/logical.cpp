#include "sve/exec/integer/logical.h"

#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/logical_elements.h"

namespace {

using namespace ostrel;
using namespace ostrel::integer;
using namespace ostrel::logical;

// Bitwise operations do not see element boundaries: 64-bit lanes cover every element size.
template <typename Op>
aarch64_decode_rc whole_register(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn,
                                 aarch64_z_reg zm) {
    unpredicated_binary<Op, uint64_t>(*s, zd.num, zn.num, zm.num);
    return DECODE_OK;
}

// The element size only decides which predicate byte governs each element.
template <typename Op>
aarch64_decode_rc merging(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm) {
    with_element_type(read_write_type(zdn), [&](auto t) {
        merging_binary<Op, decltype(t)>(*s, zdn.num, pg.num, zm.num);
    });
    return DECODE_OK;
}

// The pattern already repeats with the element size the immediate names.
template <typename Op>
aarch64_decode_rc with_bitmask(cpu_state *s, aarch64_z_reg zdn, aarch64_sve_logical64_imm imm) {
    binary_with_immediate<Op, uint64_t>(*s, zdn.num, imm.value);
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_and_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return whole_register<AndElement>(state, zd, zn, zm);
}
aarch64_decode_rc sve_orr_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return whole_register<OrrElement>(state, zd, zn, zm);
}
aarch64_decode_rc sve_eor_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return whole_register<EorElement>(state, zd, zn, zm);
}
aarch64_decode_rc sve_bic_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return whole_register<BicElement>(state, zd, zn, zm);
}

aarch64_decode_rc sve_and_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return merging<AndElement>(state, zdn, pg, zm);
}
aarch64_decode_rc sve_orr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return merging<OrrElement>(state, zdn, pg, zm);
}
aarch64_decode_rc sve_eor_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return merging<EorElement>(state, zdn, pg, zm);
}
aarch64_decode_rc sve_bic_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return merging<BicElement>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_and_zi(cpu_state *state, aarch64_z_reg zdn, aarch64_sve_logical64_imm imm) {
    return with_bitmask<AndElement>(state, zdn, imm);
}
aarch64_decode_rc sve_orr_zi(cpu_state *state, aarch64_z_reg zdn, aarch64_sve_logical64_imm imm) {
    return with_bitmask<OrrElement>(state, zdn, imm);
}
aarch64_decode_rc sve_eor_zi(cpu_state *state, aarch64_z_reg zdn, aarch64_sve_logical64_imm imm) {
    return with_bitmask<EorElement>(state, zdn, imm);
}

aarch64_decode_rc sve_dupm_zi(cpu_state *state, aarch64_z_reg zd, aarch64_sve_logical64_imm imm) {
    const unsigned elements = element_count<uint64_t>();
    for (unsigned i = 0; i < elements; ++i)
        store_element<uint64_t>(state->z[zd.num], i, imm.value);
    return DECODE_OK;
}
