// The element-by-element executor shape of the host route, for the operations whose rules are
// not one host instruction (the maximum and minimum): Op::apply(fpu, a, b) on every active
// element, merging into the destination.
#pragma once

#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"

namespace ostrel::fp {

// Zdn, Pg/M, Zdn, Zm.
template <class Op>
aarch64_decode_rc merging(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm) {
    with_fp_type(read_write_type(zdn), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        merge_into<T>(*s, zdn.num, pg.num, [&](unsigned i) {
            return Op::apply(fpu, element<T>(*s, zdn.num, i), element<T>(*s, zm.num, i));
        });
    });
    return DECODE_OK;
}

} // namespace ostrel::fp
