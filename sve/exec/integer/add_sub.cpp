#include "sve/exec/integer/add_sub.h"

#include "sve/exec/integer/arith_elements.h"
#include "sve/exec/integer/executor_shapes.h"
#include "sve/trace/roi_marker.h"

using namespace ostrel;
using namespace ostrel::integer;

aarch64_decode_rc sve_add_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return run_merging<AddElement>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_sub_zpz(cpu_state *state, aarch64_z_reg zdn, aarch64_p_reg pg,
                              aarch64_z_reg zm) {
    return run_merging<SubElement>(state, zdn, pg, zm);
}

aarch64_decode_rc sve_add_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return run_unpredicated<AddElement>(state, zd, zn, zm);
}

aarch64_decode_rc sve_sub_zzz(cpu_state *state, aarch64_z_reg zd, aarch64_z_reg zn,
                              aarch64_z_reg zm) {
    return run_unpredicated<SubElement>(state, zd, zn, zm);
}

aarch64_decode_rc sve_add_zi(cpu_state *state, aarch64_z_reg zdn, unsigned int imm) {
    // The markers are byte-element ADDs of #1, LSL #8 and #2, LSL #8: the byte they add is 0, so
    // the arithmetic below leaves the register as it was.
    const uint32_t size = read_write_type(zdn);
    if (size < 1 || size > 3) handle_roi_marker(imm);
    return run_immediate<AddElement>(state, zdn, imm);
}

aarch64_decode_rc sve_sub_zi(cpu_state *state, aarch64_z_reg zdn, unsigned int imm) {
    return run_immediate<SubElement>(state, zdn, imm);
}
