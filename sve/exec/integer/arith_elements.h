// Element functions of the integer arithmetic instructions, shared by the fixed-length executors
// and the kernels. Elements travel as unsigned integers of their own width, and the arithmetic
// wraps modulo 2^esize.
#pragma once

#include <type_traits>

namespace ostrel::integer {

// Narrow elements are promoted to unsigned int before the arithmetic, so that the wrap-around
// stays unsigned (uint16_t operands would otherwise promote to signed int).
template <typename T>
using Promoted = std::conditional_t<(sizeof(T) < sizeof(unsigned)), unsigned, T>;

struct AddElement {
    template <typename T> static constexpr T apply(T a, T b) {
        static_assert(std::is_unsigned_v<T>, "elements are unsigned");
        return static_cast<T>(Promoted<T>(a) + Promoted<T>(b));
    }
};

struct SubElement {
    template <typename T> static constexpr T apply(T a, T b) {
        static_assert(std::is_unsigned_v<T>, "elements are unsigned");
        return static_cast<T>(Promoted<T>(a) - Promoted<T>(b));
    }
};

} // namespace ostrel::integer
