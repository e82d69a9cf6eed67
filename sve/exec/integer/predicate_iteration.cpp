// PNEXT at the process's vector length: the next active element after the last true one.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/vector_blocks.h"

using ostrel::kMaxVectorBytes;

// The element size comes from Pdn. Only the last true element of Pdn itself matters, not whether
// Pg governs it.
aarch64_decode_rc sve_pnext_pp(cpu_state *state, aarch64_p_reg pdn, aarch64_p_reg pg) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint32_t size = ostrel::read_write_type(pdn);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    const unsigned esize = 1u << size, elements = vl_bytes >> size;
    const uint8_t *dn = state->p[pdn.num], *g = state->p[pg.num];
    unsigned next = 0;
    for (unsigned e = elements; e-- > 0;)
        if (dn[e * esize] & 1u) {
            next = e + 1;
            break;
        }
    while (next < elements && !(g[next * esize] & 1u))
        ++next;
    uint8_t result[kMaxVectorBytes] = {};
    if (next < elements) result[next * esize] = 1;
    switch (size) {
    case 0:
        sve_ptest<unsigned char>(state, g, result);
        break;
    case 1:
        sve_ptest<unsigned short>(state, g, result);
        break;
    case 2:
        sve_ptest<unsigned int>(state, g, result);
        break;
    default:
        sve_ptest<unsigned long>(state, g, result);
        break;
    }
    ostrel::copy_vector(state->p[pdn.num], result, vl_bytes);
    return DECODE_OK;
}
