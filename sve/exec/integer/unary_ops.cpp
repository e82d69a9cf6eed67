#include "sve/exec/integer/unary_ops.h"

#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/logical_elements.h"
#include "sve/exec/integer/logical_loops.h"

namespace {

using namespace ostrel;
using namespace ostrel::integer;
using namespace ostrel::logical;

template <typename Op>
aarch64_decode_rc unary(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn) {
    with_element_type(plain_type(zd),
                      [&](auto t) { merging_unary<Op, decltype(t)>(*s, zd.num, pg.num, zn.num); });
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_neg_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                              aarch64_z_reg zn) {
    return unary<NegElement>(state, zd, pg, zn);
}

aarch64_decode_rc sve_rbit_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn) {
    return unary<RbitElement>(state, zd, pg, zn);
}

// REVW exists only for doubleword elements, whatever the descriptor says.
aarch64_decode_rc sve_revw_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn) {
    merging_unary<ReverseUnitsElement<4>, uint64_t>(*state, zd.num, pg.num, zn.num);
    return DECODE_OK;
}
