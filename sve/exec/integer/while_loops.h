// The loop-control predicate shared by the WHILE executors and kernels.
#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>

namespace ostrel {

// The number of leading true elements of WHILELT, WHILELO (Inclusive = false), WHILELE and
// WHILELS (Inclusive = true) on operands of type T, out of `elements`: element i is true while
// Rn + i compares below (or equal to) Rm. Rn advances with the wrap-around of its register width,
// as the architecture's increment loop does: with Rm at the type's maximum an inclusive compare
// holds for every element. Computed in closed form, not by that loop: the distance from Rn to Rm,
// capped at `elements`.
template <typename T, bool Inclusive> uint32_t while_true_count(T rn, T rm, uint32_t elements) {
    using U = std::make_unsigned_t<T>;
    if (Inclusive ? rn > rm : rn >= rm) return 0;
    // rn <= rm here, so the distance fits the unsigned type.
    const U distance = static_cast<U>(static_cast<U>(rm) - static_cast<U>(rn));
    // Inclusive with Rm at the maximum: Rn wraps to the minimum, still <= Rm, for ever.
    if (Inclusive && rm == std::numeric_limits<T>::max()) return elements;
    const uint64_t trues = static_cast<uint64_t>(distance) + (Inclusive ? 1 : 0);
    return trues < elements ? static_cast<uint32_t>(trues) : elements;
}

} // namespace ostrel
