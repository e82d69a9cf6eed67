// WHILELT, WHILELO and WHILELS at the process's vector length: the predicate of a loop's
// remaining iterations, with the flags of PredTest against an all-true mask.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/integer/while_loops.h"

namespace {

// The all-true predicate of each element size (1 in the first byte of every element).
struct AllTruePatterns {
    uint8_t bytes[4][ostrel::kMaxVectorBytes];
    constexpr AllTruePatterns() : bytes() {
        for (unsigned size = 0; size < 4; ++size)
            for (unsigned i = 0; i < ostrel::kMaxVectorBytes; i += 1u << size)
                bytes[size][i] = 1;
    }
};
constexpr AllTruePatterns kAllTrue;

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
    // The true elements are a prefix: a copy of the all-true pattern of the element size, then
    // zeros.
    const unsigned true_bytes = count << size;
    std::memcpy(s->p[pd.num], kAllTrue.bytes[size], true_bytes);
    std::memset(s->p[pd.num] + true_bytes, 0, vl_bytes - true_bytes);
    // PredTest against the all-true mask: the elements are true up to `count`, false after it.
    s->nzcv = ostrel::with_flags(
        s->nzcv, ostrel::pred_test_flags(true, count > 0, count > 0, count == elements));
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
