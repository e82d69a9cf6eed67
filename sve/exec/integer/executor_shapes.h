// From an executor's operand descriptors to an element loop: the element size comes from the
// destination's size code (every vector operand of a row carries the same one; Zdn's sits in the
// read-write packing), then the loop of element_loops.h runs at that width.
#pragma once

#include "sve/exec/integer/element_loops.h"

namespace ostrel::integer {

// Zdn, Pg/M, Zdn, Zm.
template <typename Op>
aarch64_decode_rc run_merging(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm) {
    with_element_type(read_write_type(zdn), [&](auto t) {
        merging_binary<Op, decltype(t)>(*s, zdn.num, pg.num, zm.num);
    });
    return DECODE_OK;
}

// Zdn, Pg/M, Zdn, Zm for rows that exist for 32- and 64-bit elements only: size code 3 selects
// 64-bit elements, any other 32-bit ones, and no narrower loop is built.
template <typename Op>
aarch64_decode_rc run_merging_wide(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                   aarch64_z_reg zm) {
    if (read_write_type(zdn) == 3)
        merging_binary<Op, uint64_t>(*s, zdn.num, pg.num, zm.num);
    else
        merging_binary<Op, uint32_t>(*s, zdn.num, pg.num, zm.num);
    return DECODE_OK;
}

// Zd, Zn, Zm, every element.
template <typename Op>
aarch64_decode_rc run_unpredicated(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn,
                                   aarch64_z_reg zm) {
    with_element_type(plain_type(zd), [&](auto t) {
        unpredicated_binary<Op, decltype(t)>(*s, zd.num, zn.num, zm.num);
    });
    return DECODE_OK;
}

// Zd, Pg/M, Zn, Zm with Zd also the first input of Op.
template <typename Op>
aarch64_decode_rc run_merging_ternary(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                      aarch64_z_reg zn, aarch64_z_reg zm) {
    with_element_type(read_write_type(zd), [&](auto t) {
        merging_ternary<Op, decltype(t)>(*s, zd.num, pg.num, zn.num, zm.num);
    });
    return DECODE_OK;
}

// Zdn, Zdn, #imm: each element takes the immediate's low esize bits.
template <typename Op, typename Imm>
aarch64_decode_rc run_immediate(cpu_state *s, aarch64_z_reg zdn, Imm imm) {
    with_element_type(read_write_type(zdn), [&](auto t) {
        using T = decltype(t);
        binary_with_immediate<Op, T>(*s, zdn.num, static_cast<T>(imm));
    });
    return DECODE_OK;
}

} // namespace ostrel::integer
