// UQDECB on a scalar (Wdn or Xdn), the one saturating element count on the fixed-length road.
#include "sve/exec/integer/saturating_counts.h"

#include "sve/decode/forms.h"
#include "sve/exec/integer/element_counts.h"

aarch64_decode_rc sve_uqdecb_rii(cpu_state *s, aarch64_i_reg rdn, unsigned pattern,
                                 unsigned multiplier) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    using namespace ostrel;
    const bool wide = read_write_type(rdn) == kGprX;
    const uint64_t amount = uint64_t{pattern_element_count(pattern, vl_bytes)} * multiplier;
    const uint64_t old = read_gpr(*s, rdn, true);
    // Clamps at 0; a Wdn result is zero-extended by the write.
    write_gpr(*s, rdn,
              integer::saturating_step_scalar(old, amount, wide ? 64 : 32, kUnsigned, true), true);
    return DECODE_OK;
}
