#include "sve/exec/integer/sat_helpers.h"

namespace ostrel {
namespace {

// Signed N-bit limits; from N = 128 on they are the limits of i128 itself.
i128 SignedMax(int n) {
    if (n >= 128) return static_cast<i128>(~u128{0} >> 1);
    return (i128{1} << (n - 1)) - 1;
}
i128 SignedMin(int n) {
    return -SignedMax(n) - 1;
}

} // namespace

uint64_t SatMult(uint64_t a, uint64_t b, int n, int is_unsigned) {
    if (is_unsigned == kUnsigned) {
        // Two 64-bit unsigned factors can reach 2^128 - 2^65 + 1, beyond i128, so the unsigned
        // product is formed and compared in u128.
        u128 product = static_cast<u128>(UInt(a, n)) * static_cast<u128>(UInt(b, n));
        return product > ones(n) ? ones(n) : static_cast<uint64_t>(product);
    }
    return SatQ(Int(a, n, kSigned) * Int(b, n, kSigned), n, kSigned).value;
}

SatResult SatQShift(i128 v, int n, int is_unsigned) {
    if (is_unsigned == kUnsigned) {
        if (v < 0) return {0, true};
        // From N = 127 on, every non-negative i128 is in range.
        if (n >= 127 || (v >> n) == 0) return {bits(v), false};
        return {ones(n), true}; // the low 64 bits of 2^N - 1
    }
    if (n >= 128) return {bits(v), false};
    if (v > SignedMax(n)) return {bits(SignedMax(n)), true};
    if (v < SignedMin(n)) return {bits(SignedMin(n)), true};
    return {bits(v), false};
}

SatResult ShiftQLeftInt(i128 v, i128 s, int n, int is_unsigned) {
    if (s < 0) return {bits(ShiftRightInt(v, s < -256 ? i128{256} : -s)), false};
    if (s >= n) {
        if (v == 0) return {0, false};
        // Every set bit leaves the N-bit range. The unsigned limit is used even for a negative
        // v, as the pseudocode does.
        if (is_unsigned == kUnsigned) return {ones(n), true};
        return {bits(v > 0 ? SignedMax(n) : SignedMin(n)), true};
    }
    i128 shifted = static_cast<i128>(static_cast<u128>(v) << static_cast<int>(s));
    return SatQShift(shifted, n, is_unsigned);
}

} // namespace ostrel
