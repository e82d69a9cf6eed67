// WHILELT, WHILELO and WHILELS at the process's vector length: the predicate of a loop's
// remaining iterations, with the flags of PredTest against an all-true mask.
#include "sve/decode/forms.h"
#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/integer/while_loops.h"
#include "sve/exec/vector_blocks.h"

namespace {

// For each element size, the all-true predicate of the longest vector (1 in the first byte of
// every element) followed by as many zero bytes. A predicate whose first `true_bytes` bytes are
// all-true and whose rest is false is the vector that starts kMaxVectorBytes - true_bytes bytes
// in: true_bytes is a whole number of elements, so the pattern there is in step with element 0.
struct TruePrefixWindows {
    uint8_t bytes[4][2 * ostrel::kMaxVectorBytes];
    constexpr TruePrefixWindows() : bytes() {
        for (unsigned size = 0; size < 4; ++size)
            for (unsigned i = 0; i < ostrel::kMaxVectorBytes; i += 1u << size)
                bytes[size][i] = 1;
    }
    const uint8_t *prefix_of(uint32_t size, unsigned true_bytes) const {
        return bytes[size] + ostrel::kMaxVectorBytes - true_bytes;
    }
};
constexpr TruePrefixWindows kTruePrefix;

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
    // The true elements are a prefix: one block copy out of the window of the element size.
    ostrel::copy_vector(s->p[pd.num], kTruePrefix.prefix_of(size, count << size), vl_bytes);
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
