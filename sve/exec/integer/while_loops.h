// The loop-control predicate shared by the WHILE executors and kernels.
#pragma once

#include <cstdint>
#include <type_traits>

namespace ostrel {

// The number of leading true elements of WHILELT, WHILELO (Inclusive = false), WHILELE and
// WHILELS (Inclusive = true) on operands of type T, out of `elements`: element i is true while
// Rn + i compares below (or equal to) Rm. Rn advances with the wrap-around of its register width,
// as the architecture's increment loop does: with Rm at the type's maximum an inclusive compare
// holds for every element.
template <typename T, bool Inclusive> uint32_t while_true_count(T rn, T rm, uint32_t elements) {
    using U = std::make_unsigned_t<T>;
    uint32_t count = 0;
    for (T value = rn; count < elements; ++count) {
        if (!(Inclusive ? value <= rm : value < rm)) break;
        value = static_cast<T>(static_cast<U>(value) + 1u);
    }
    return count;
}

} // namespace ostrel
