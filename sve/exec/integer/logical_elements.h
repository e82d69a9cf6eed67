// Element functions of the logical, shift and bit instructions, shared by the fixed-length
// executors and the kernels. Elements travel as unsigned integers of their own width; signed
// readings go through Int so that every width follows the same rules.
#pragma once

#include <cstdint>
#include <type_traits>

#include "sve/exec/integer/int_helpers.h"

namespace ostrel::logical {

template <typename T> constexpr int kElementBits = static_cast<int>(8 * sizeof(T));

// ---- bitwise ------------------------------------------------------------------------------------

struct AndElement {
    template <typename T> static constexpr T apply(T a, T b) { return static_cast<T>(a & b); }
};
struct OrrElement {
    template <typename T> static constexpr T apply(T a, T b) { return static_cast<T>(a | b); }
};
struct EorElement {
    template <typename T> static constexpr T apply(T a, T b) { return static_cast<T>(a ^ b); }
};
struct BicElement {
    template <typename T> static constexpr T apply(T a, T b) { return static_cast<T>(a & ~b); }
};

// ---- shifts -------------------------------------------------------------------------------------
// The amount is read unsigned (the element of a vector operand, a wide 64-bit element or a
// decoded immediate). An amount at or above the element width gives the sign fill for ASR and 0
// for LSR and LSL, however large it is. Native shifts on the element's own width (counts below
// it are defined for C++ shifts), so that element loops become vector code.

struct AsrElement {
    template <typename T> static T apply(T value, uint64_t amount) {
        using S = std::make_signed_t<T>;
        const uint64_t last = kElementBits<T> - 1;
        return static_cast<T>(static_cast<S>(value) >> (amount < last ? amount : last));
    }
};
struct LsrElement {
    template <typename T> static T apply(T value, uint64_t amount) {
        return amount < kElementBits<T> ? static_cast<T>(value >> amount) : T{0};
    }
};
struct LslElement {
    template <typename T> static T apply(T value, uint64_t amount) {
        return amount < kElementBits<T> ? static_cast<T>(value << amount) : T{0};
    }
};

// ASRD: the quotient value / 2^amount rounded toward zero; a negative value is biased by
// 2^amount - 1 before the arithmetic shift.
struct AsrdElement {
    template <typename T> static T apply(T value, uint64_t amount) {
        i128 x = Int(value, kElementBits<T>, kSigned);
        if (x < 0) x = AddInt(x, ShiftLeftInt(1, UInt(amount, 64)) - 1);
        return static_cast<T>(bits(ShiftRightInt(x, UInt(amount, 64))));
    }
};

// The reversed shifts (ASRR, LSRR, LSLR): the second operand is shifted by the first.
template <typename Op> struct Reversed {
    template <typename T> static T apply(T a, T b) { return Op::apply(b, a); }
};

// ---- unary --------------------------------------------------------------------------------------

struct NegElement {
    template <typename T> static T apply(T x) {
        return static_cast<T>(bits(NegInt(Int(x, kElementBits<T>, kUnsigned))));
    }
};
// The most negative value has no positive counterpart and stays itself.
struct AbsElement {
    template <typename T> static T apply(T x) {
        return static_cast<T>(bits(AbsInt(Int(x, kElementBits<T>, kSigned))));
    }
};
struct NotElement { // NOT: bitwise
    template <typename T> static T apply(T x) { return static_cast<T>(~x); }
};
struct CnotElement { // CNOT: logical
    template <typename T> static T apply(T x) { return static_cast<T>(x == 0 ? 1 : 0); }
};
struct ClsElement {
    template <typename T> static T apply(T x) {
        return static_cast<T>(CountLeadingSignBits(x, kElementBits<T>));
    }
};
struct ClzElement {
    template <typename T> static T apply(T x) {
        return static_cast<T>(CountLeadingZeroBits(x, kElementBits<T>));
    }
};
struct CntElement {
    template <typename T> static T apply(T x) {
        return static_cast<T>(BitCount(x, kElementBits<T>));
    }
};
struct RbitElement {
    template <typename T> static T apply(T x) {
        return static_cast<T>(BitReverse(x, kElementBits<T>));
    }
};

// REVB, REVH, REVW: the order of the Unit-byte units inside the element reversed.
template <int Unit> struct ReverseUnitsElement {
    template <typename T> static T apply(T x) {
        return static_cast<T>(Reverse(x, kElementBits<T>, Unit));
    }
};

// SXTB/SXTH/SXTW and UXTB/UXTH/UXTW: the low From bytes of the element, extended.
template <typename From> struct SignExtendElement {
    template <typename T> static T apply(T x) {
        static_assert(sizeof(From) < sizeof(T), "extensions widen");
        return static_cast<T>(bits(Int(x, kElementBits<From>, kSigned)));
    }
};
template <typename From> struct ZeroExtendElement {
    template <typename T> static T apply(T x) {
        static_assert(sizeof(From) < sizeof(T), "extensions widen");
        return static_cast<T>(static_cast<From>(x));
    }
};

} // namespace ostrel::logical
