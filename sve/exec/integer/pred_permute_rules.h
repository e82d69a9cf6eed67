// Where each element of a permuted predicate comes from, for the permutes the predicate kernels
// and REV work on bit by bit (ZIP1, ZIP2 and UZP1 go through the vector forms' byte bodies).
// Whole elements of esize predicate bits move, exactly as the vector forms move bytes.
#pragma once

#include "sve/exec/integer/pred_access.h"

namespace ostrel::pred {

enum class Permute { uzp2, trn1, trn2, rev };

struct PermuteSource {
    unsigned operand; // 0: the first source, 1: the second
    unsigned element;
};

// The source of destination element e out of n elements per register.
constexpr PermuteSource permute_source(Permute op, unsigned e, unsigned n) {
    switch (op) {
    case Permute::uzp2: {
        // The odd elements of the concatenation first:second.
        const unsigned index = 2 * e + 1;
        return {index >= n ? 1u : 0u, index % n};
    }
    case Permute::trn1:
    case Permute::trn2:
        return {e % 2, e - e % 2 + (op == Permute::trn2 ? 1 : 0)};
    default: // rev
        return {0, n - 1 - e};
    }
}

// Permutes `bits` predicate bits of elements of esize bits each.
template <typename N, typename M, typename Out>
void permute_elements(Permute op, unsigned bits, unsigned esize, N first, M second, Out out) {
    const unsigned n = bits / esize;
    for (unsigned e = 0; e < n; ++e) {
        const PermuteSource src = permute_source(op, e, n);
        for (unsigned b = 0; b < esize; ++b) {
            const unsigned from = src.element * esize + b;
            out(e * esize + b, src.operand == 0 ? first(from) : second(from));
        }
    }
}

} // namespace ostrel::pred
