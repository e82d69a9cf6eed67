// The closed-form WHILE count against the architecture's element-by-element loop, around the
// boundaries of each operand type that random operands rarely reach (saturation, wrapping).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <type_traits>

#include "sve/exec/integer/while_loops.h"

namespace ostrel {
namespace {

// The WHILE count as the architecture's loop computes it: Rn + i against Rm, Rn wrapping at its
// width.
template <typename T, bool Inclusive> uint32_t while_count_by_loop(T rn, T rm, uint32_t elements) {
    using U = std::make_unsigned_t<T>;
    uint32_t count = 0;
    for (T value = rn; count < elements; ++count) {
        if (!(Inclusive ? value <= rm : value < rm)) break;
        value = static_cast<T>(static_cast<U>(value) + 1u);
    }
    return count;
}

template <typename T> void check_while_counts() {
    using L = std::numeric_limits<T>;
    const T lo = L::min(), hi = L::max();
    // Pairs around every boundary: equal, one apart, the distance at the element count, the
    // extremes of the type, and wrapping.
    const T values[] = {lo,
                        static_cast<T>(lo + 1),
                        static_cast<T>(-1),
                        0,
                        1,
                        2,
                        47,
                        48,
                        49,
                        255,
                        256,
                        static_cast<T>(hi - 300),
                        static_cast<T>(hi - 48),
                        static_cast<T>(hi - 1),
                        hi};
    for (uint32_t elements : {2u, 16u, 48u, 256u})
        for (T rn : values)
            for (T rm : values)
                for (T delta :
                     {T(0), T(1), static_cast<T>(elements - 1), static_cast<T>(elements)}) {
                    const T near = static_cast<T>(rm - delta);
                    EXPECT_EQ((while_true_count<T, false>(near, rm, elements)),
                              (while_count_by_loop<T, false>(near, rm, elements)))
                        << "exclusive " << +near << " " << +rm << " of " << elements;
                    EXPECT_EQ((while_true_count<T, true>(near, rm, elements)),
                              (while_count_by_loop<T, true>(near, rm, elements)))
                        << "inclusive " << +near << " " << +rm << " of " << elements;
                    EXPECT_EQ((while_true_count<T, true>(rn, rm, elements)),
                              (while_count_by_loop<T, true>(rn, rm, elements)))
                        << "inclusive " << +rn << " " << +rm << " of " << elements;
                    EXPECT_EQ((while_true_count<T, false>(rn, rm, elements)),
                              (while_count_by_loop<T, false>(rn, rm, elements)))
                        << "exclusive " << +rn << " " << +rm << " of " << elements;
                }
}

TEST(WhileTrueCount, ClosedFormMatchesTheIncrementLoop) {
    check_while_counts<int32_t>();
    check_while_counts<uint32_t>();
    check_while_counts<int64_t>();
    check_while_counts<uint64_t>();
}

} // namespace
} // namespace ostrel
