#include "sve/exec/integer/shifts.h"

#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/logical_elements.h"
#include "sve/exec/integer/logical_loops.h"

namespace {

using namespace ostrel;
using namespace ostrel::integer;
using namespace ostrel::logical;

template <typename Op>
aarch64_decode_rc by_vector(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm) {
    with_element_type(read_write_type(zdn), [&](auto t) {
        merging_binary<Op, decltype(t)>(*s, zdn.num, pg.num, zm.num);
    });
    return DECODE_OK;
}

template <typename Op>
aarch64_decode_rc unpredicated(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, unsigned shift) {
    with_element_type(plain_type(zd), [&](auto t) {
        unpredicated_with_immediate<Op, decltype(t)>(*s, zd.num, zn.num, shift);
    });
    return DECODE_OK;
}

template <typename Op>
aarch64_decode_rc predicated(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, unsigned shift) {
    with_element_type(read_write_type(zdn), [&](auto t) {
        merging_with_immediate<Op, decltype(t)>(*s, zdn.num, pg.num, shift);
    });
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_asr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return by_vector<AsrElement>(state, zdn, pg, zm);
}
aarch64_decode_rc sve_lsr_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return by_vector<LsrElement>(state, zdn, pg, zm);
}
aarch64_decode_rc sve_lsl_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return by_vector<LslElement>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_asr_zzi(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              unsigned int shift) {
    return unpredicated<AsrElement>(state, zd, zn, shift);
}
aarch64_decode_rc sve_lsl_zzi(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              unsigned int shift) {
    return unpredicated<LslElement>(state, zd, zn, shift);
}

aarch64_decode_rc sve_asr_zpi(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              unsigned int shift) {
    return predicated<AsrElement>(state, zdn, pg, shift);
}
aarch64_decode_rc sve_lsl_zpi(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              unsigned int shift) {
    return predicated<LslElement>(state, zdn, pg, shift);
}
