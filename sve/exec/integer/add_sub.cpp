#include "sve/exec/integer/add_sub.h"

#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/trace/roi_marker.h"

namespace {

using namespace ostrel;
using namespace ostrel::integer;

// Every vector operand of a row carries the same size code; Zdn's sits in the read-write
// packing, Zd's in the plain one.
template <typename Op>
aarch64_decode_rc merging(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm) {
    with_element_type(read_write_type(zdn), [&](auto t) {
        merging_binary<Op, decltype(t)>(*s, zdn.num, pg.num, zm.num);
    });
    return DECODE_OK;
}

template <typename Op>
aarch64_decode_rc unpredicated(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    with_element_type(plain_type(zd), [&](auto t) {
        unpredicated_binary<Op, decltype(t)>(*s, zd.num, zn.num, zm.num);
    });
    return DECODE_OK;
}

template <typename Op> aarch64_decode_rc immediate(cpu_state *s, aarch64_z_reg zdn, unsigned imm) {
    with_element_type(read_write_type(zdn), [&](auto t) {
        using T = decltype(t);
        binary_with_immediate<Op, T>(*s, zdn.num, static_cast<T>(imm));
    });
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_add_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return merging<AddElement>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_sub_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return merging<SubElement>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_add_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return unpredicated<AddElement>(state, zd, zn, zm);
}

aarch64_decode_rc sve_sub_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return unpredicated<SubElement>(state, zd, zn, zm);
}

aarch64_decode_rc sve_add_zi(cpu_state *state, aarch64_z_reg zdn, unsigned int imm) {
    // The markers are byte-element ADDs of #1, LSL #8 and #2, LSL #8: the byte they add is 0, so
    // the arithmetic below leaves the register as it was.
    const uint32_t size = read_write_type(zdn);
    if (size < 1 || size > 3) handle_roi_marker(imm);
    return immediate<AddElement>(state, zdn, imm);
}

aarch64_decode_rc sve_sub_zi(cpu_state *state, aarch64_z_reg zdn, unsigned int imm) {
    return immediate<SubElement>(state, zdn, imm);
}
