// WHILELT, WHILELO and WHILELS at the process's vector length: the predicate of a loop's
// remaining iterations, with the flags of PredTest against an all-true mask.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/integer/while_loops.h"
#include "sve/exec/vector_blocks.h"

namespace {

using ostrel::kMaxVectorBytes;

// Rn and Rm are read at the width their descriptors give (W: 32 bits, X: 64 bits) and compared as
// Signed or unsigned values.
template <bool Signed, bool Inclusive>
aarch64_decode_rc run_while(cpu_state *s, const aarch64_p_reg &pd, const aarch64_i_reg &rn,
                            const aarch64_i_reg &rm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint32_t size = ostrel::plain_type(pd);
    if (size > 3) return DECODE_UNIMPLEMENTED;
    const uint32_t elements = vl_bytes >> size;
    const uint64_t n = ostrel::read_gpr(*s, rn), m = ostrel::read_gpr(*s, rm);
    uint32_t count;
    if (ostrel::plain_type(rn) == ostrel::kGprW) {
        using T = std::conditional_t<Signed, int32_t, uint32_t>;
        count =
            ostrel::while_true_count<T, Inclusive>(static_cast<T>(n), static_cast<T>(m), elements);
    } else {
        using T = std::conditional_t<Signed, int64_t, uint64_t>;
        count =
            ostrel::while_true_count<T, Inclusive>(static_cast<T>(n), static_cast<T>(m), elements);
    }
    uint8_t result[kMaxVectorBytes] = {};
    for (uint32_t e = 0; e < count; ++e)
        result[e << size] = 1;
    ostrel::copy_vector(s->p[pd.num], result, vl_bytes);

    uint8_t all_true[kMaxVectorBytes];
    ostrel::fill_vector(all_true, 1, vl_bytes);
    switch (size) {
    case 0:
        sve_ptest<unsigned char>(s, all_true, result);
        break;
    case 1:
        sve_ptest<unsigned short>(s, all_true, result);
        break;
    case 2:
        sve_ptest<unsigned int>(s, all_true, result);
        break;
    default:
        sve_ptest<unsigned long>(s, all_true, result);
        break;
    }
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_whilelt_prr(cpu_state *state, aarch64_p_reg pd, aarch64_i_reg rn,
                                  aarch64_i_reg rm) {
    return run_while<true, false>(state, pd, rn, rm);
}
aarch64_decode_rc sve_whilelo_prr(cpu_state *state, aarch64_p_reg pd, aarch64_i_reg rn,
                                  aarch64_i_reg rm) {
    return run_while<false, false>(state, pd, rn, rm);
}
aarch64_decode_rc sve_whilels_prr(cpu_state *state, aarch64_p_reg pd, aarch64_i_reg rn,
                                  aarch64_i_reg rm) {
    return run_while<false, true>(state, pd, rn, rm);
}
