#include "sve/exec/integer/extends.h"

#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/logical_elements.h"
#include "sve/exec/integer/logical_loops.h"

namespace {

using namespace ostrel;
using namespace ostrel::integer;
using namespace ostrel::logical;

// Only element sizes wider than the source part exist; any other size code is not an
// instruction of this kind and fails.
template <template <typename> class Extend, typename From>
aarch64_decode_rc extend(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn) {
    aarch64_decode_rc rc = DECODE_UNIMPLEMENTED;
    with_element_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        if constexpr (sizeof(T) > sizeof(From)) {
            merging_unary<Extend<From>, T>(*s, zd.num, pg.num, zn.num);
            rc = DECODE_OK;
        }
    });
    return rc;
}

} // namespace

aarch64_decode_rc sve_sxtb_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn) {
    return extend<SignExtendElement, uint8_t>(state, zd, pg, zn);
}
aarch64_decode_rc sve_sxth_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn) {
    return extend<SignExtendElement, uint16_t>(state, zd, pg, zn);
}
aarch64_decode_rc sve_uxth_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn) {
    return extend<ZeroExtendElement, uint16_t>(state, zd, pg, zn);
}
aarch64_decode_rc sve_sxtw_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn) {
    return extend<SignExtendElement, uint32_t>(state, zd, pg, zn);
}
aarch64_decode_rc sve_uxtw_zpz(cpu_state *state, aarch64_z_reg zd, aarch64_p_reg pg,
                               aarch64_z_reg zn) {
    return extend<ZeroExtendElement, uint32_t>(state, zd, pg, zn);
}
