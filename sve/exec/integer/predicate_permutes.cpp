// Predicate permutes and unpacks at the process's vector length: ZIP1, ZIP2, UZP1, REV,
// PUNPKLO and PUNPKHI.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/permute_bodies.h"
#include "sve/exec/integer/pred_permute_rules.h"
#include "sve/exec/vector_blocks.h"

namespace {

using ostrel::kMaxVectorBytes;
using namespace ostrel::pred;

using Body = void(uint8_t *, const uint8_t *, const uint8_t *, uint32_t);

// With one byte per predicate bit, a predicate permutation at 2^size-byte elements moves the same
// bytes as the vector permutation, so the vector forms' bodies serve. They read both sources
// before writing, so Pd may be one of them. The element size comes from Pd.
aarch64_decode_rc permute(cpu_state *s, Body *body, const aarch64_p_reg &pd,
                          const aarch64_p_reg &pn, const aarch64_p_reg &pm) {
    const uint32_t size = ostrel::plain_type(pd);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    body(s->p[pd.num], s->p[pn.num], s->p[pm.num], size);
    return DECODE_OK;
}

// Halfword element i of Pd takes bit 0 of Pn's byte `offset + i`; its second byte is 0.
aarch64_decode_rc unpack(cpu_state *s, const aarch64_p_reg &pd, const aarch64_p_reg &pn,
                         unsigned offset) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes] = {};
    const uint8_t *n = s->p[pn.num];
    for (unsigned i = 0; i < vl_bytes / 2; ++i)
        result[2 * i] = n[offset + i] & 1u;
    ostrel::copy_vector(s->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_zip1_ppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pn,
                               aarch64_p_reg pm) {
    return permute(state, sve_zip1, pd, pn, pm);
}
aarch64_decode_rc sve_zip2_ppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pn,
                               aarch64_p_reg pm) {
    return permute(state, sve_zip2, pd, pn, pm);
}
aarch64_decode_rc sve_uzp1_ppp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pn,
                               aarch64_p_reg pm) {
    return permute(state, sve_uzp1, pd, pn, pm);
}
aarch64_decode_rc sve_rev_pp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pn) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint32_t size = ostrel::plain_type(pd);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    const ByteReader n{state->p[pn.num]};
    uint8_t result[kMaxVectorBytes];
    permute_elements(Permute::rev, vl_bytes, 1u << size, n, n, ByteWriter{result});
    ostrel::copy_vector(state->p[pd.num], result, vl_bytes);
    return DECODE_OK;
}

aarch64_decode_rc sve_punpklo_pp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pn) {
    return unpack(state, pd, pn, 0);
}
aarch64_decode_rc sve_punpkhi_pp(cpu_state *state, aarch64_p_reg pd, aarch64_p_reg pn) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    return unpack(state, pd, pn, vl_bytes / 2);
}
