// Element functions of the integer arithmetic instructions, shared by the fixed-length executors
// and the kernels. Elements travel as unsigned integers of their own width, and the arithmetic
// wraps modulo 2^esize; the functions whose result depends on signedness take it as a template
// parameter and reinterpret the element bits themselves.
#pragma once

#include <climits>
#include <type_traits>

#include "sve/exec/integer/int_helpers.h"

namespace ostrel::integer {

// Narrow elements are promoted to unsigned int before the arithmetic, so that the wrap-around
// stays unsigned (uint16_t operands would otherwise promote to signed int).
template <typename T>
using Promoted = std::conditional_t<(sizeof(T) < sizeof(unsigned)), unsigned, T>;

template <typename T> constexpr int kElementBits = static_cast<int>(sizeof(T) * CHAR_BIT);

// The pseudocode's signedness selector for a template flag.
constexpr int signedness(bool is_signed) {
    return is_signed ? kSigned : kUnsigned;
}

// The element's bits read as a signed or unsigned number of its own width.
template <bool Signed, typename T> constexpr auto as_number(T v) {
    static_assert(std::is_unsigned_v<T>, "elements are unsigned");
    if constexpr (Signed)
        return static_cast<std::make_signed_t<T>>(v);
    else
        return v;
}

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

// b - a: SUBR takes the first operand from the destination.
struct SubRElement {
    template <typename T> static constexpr T apply(T a, T b) { return SubElement::apply(b, a); }
};

// The low half of the product; the low bits do not depend on signedness.
struct MulElement {
    template <typename T> static constexpr T apply(T a, T b) {
        static_assert(std::is_unsigned_v<T>, "elements are unsigned");
        return static_cast<T>(Promoted<T>(a) * Promoted<T>(b));
    }
};

// The high half of the exact product (128 bits wide for 64-bit elements).
template <bool Signed> struct MulHighElement {
    template <typename T> static T apply(T a, T b) {
        // Multiplied as u128: two unsigned 64-bit numbers overflow a signed 128-bit product,
        // and the bits are the same either way.
        const auto product =
            static_cast<i128>(static_cast<u128>(Int(a, kElementBits<T>, signedness(Signed))) *
                              static_cast<u128>(Int(b, kElementBits<T>, signedness(Signed))));
        return static_cast<T>(bits(ShiftRightInt(product, kElementBits<T>)));
    }
};

template <bool Signed> struct MaxElement {
    template <typename T> static constexpr T apply(T a, T b) {
        return as_number<Signed>(a) >= as_number<Signed>(b) ? a : b;
    }
};

template <bool Signed> struct MinElement {
    template <typename T> static constexpr T apply(T a, T b) {
        return as_number<Signed>(a) <= as_number<Signed>(b) ? a : b;
    }
};

// |a - b| of the exact difference, low bits: the larger minus the smaller, which wraps to the
// same bits.
template <bool Signed> struct AbdElement {
    template <typename T> static constexpr T apply(T a, T b) {
        return as_number<Signed>(a) >= as_number<Signed>(b) ? SubElement::apply(a, b)
                                                            : SubElement::apply(b, a);
    }
};

// a / b truncating toward zero. Nothing traps: a zero divisor gives 0, and a signed divisor of
// -1 negates modulo 2^esize (the most negative value divided by -1 is itself).
template <bool Signed> struct DivElement {
    template <typename T> static constexpr T apply(T a, T b) {
        static_assert(sizeof(T) >= sizeof(unsigned), "division works on 32- and 64-bit elements");
        if (b == 0) return 0;
        if constexpr (Signed) {
            if (as_number<true>(b) == -1) return static_cast<T>(T{0} - a);
            return static_cast<T>(as_number<true>(a) / as_number<true>(b));
        } else {
            return static_cast<T>(a / b);
        }
    }
};

// b / a (SDIVR, UDIVR).
template <bool Signed> struct DivRElement {
    template <typename T> static constexpr T apply(T a, T b) {
        return DivElement<Signed>::apply(b, a);
    }
};

// Multiply-add on (destination, first source, second source), modulo 2^esize. MLA and MLS
// accumulate into the destination; MAD and MSB multiply the destination and take the addend
// from the second source.
struct MlaElement {
    template <typename T> static constexpr T apply(T acc, T n, T m) {
        return AddElement::apply(acc, MulElement::apply(n, m));
    }
};
struct MlsElement {
    template <typename T> static constexpr T apply(T acc, T n, T m) {
        return SubElement::apply(acc, MulElement::apply(n, m));
    }
};
struct MadElement {
    template <typename T> static constexpr T apply(T dn, T m, T a) {
        return AddElement::apply(a, MulElement::apply(dn, m));
    }
};
struct MsbElement {
    template <typename T> static constexpr T apply(T dn, T m, T a) {
        return SubElement::apply(a, MulElement::apply(dn, m));
    }
};

// Saturating add and subtract of two elements; the saturation itself is not recorded.
template <bool Signed> struct QAddElement {
    template <typename T> static T apply(T a, T b) {
        return static_cast<T>(SatAdd(a, b, kElementBits<T>, signedness(Signed)));
    }
};
template <bool Signed> struct QSubElement {
    template <typename T> static T apply(T a, T b) {
        return static_cast<T>(SatSub(a, b, kElementBits<T>, signedness(Signed)).value);
    }
};

// The same with an unsigned immediate (imm8, or imm8 LSL 8) that is not truncated to the element:
// a signed byte element plus 255 is a sum in range only up to -128 + 255.
template <bool Signed> struct QAddImmElement {
    template <typename T> static T apply(T a, unsigned imm) {
        return static_cast<T>(SatQ(Int(a, kElementBits<T>, signedness(Signed)) + imm,
                                   kElementBits<T>, signedness(Signed))
                                  .value);
    }
};
template <bool Signed> struct QSubImmElement {
    template <typename T> static T apply(T a, unsigned imm) {
        return static_cast<T>(SatQ(Int(a, kElementBits<T>, signedness(Signed)) - imm,
                                   kElementBits<T>, signedness(Signed))
                                  .value);
    }
};

// One lane of a dot product: acc + the sum of four products of narrow elements N, read signed
// or unsigned, modulo the accumulator's width.
template <bool Signed> struct DotElement {
    template <typename Acc, typename N>
    static Acc apply(Acc acc, const N (&n)[4], const N (&m)[4]) {
        static_assert(sizeof(Acc) == 4 * sizeof(N), "accumulators are four times as wide");
        Acc sum = acc;
        for (unsigned k = 0; k < 4; ++k) {
            // The product of two narrow numbers fits the accumulator's width exactly; adding its
            // bits wraps as the architecture does.
            const auto product = static_cast<int64_t>(as_number<Signed>(n[k])) *
                                 static_cast<int64_t>(as_number<Signed>(m[k]));
            sum = AddElement::apply(sum, static_cast<Acc>(product));
        }
        return sum;
    }
};

} // namespace ostrel::integer
