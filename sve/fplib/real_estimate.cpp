// The real-number estimates of the older architecture text, kept for completeness of the
// interface; no instruction uses them.
#include "sve/fplib/fplib.h"

#include <cmath>
#include <cstring>

namespace ostrel::fplib {

namespace {

double double_from_bits(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

uint64_t bits_of(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

uint32_t estimate_bits(double estimate) {
    return 0x80000000u | static_cast<uint32_t>((bits_of(estimate) >> 21) & 0x7fffffff);
}

} // namespace

double recip_estimate(double a) {
    const double q = (std::trunc(a * 512.0) + 0.5) * 0.001953125;
    const double r = 1.0 / q;
    return std::trunc(256.0 * r + 0.5) * 0.00390625;
}

double recip_sqrt_estimate(double a) {
    const double q =
        a < 0.5 ? (std::trunc(a * 512.0) + 0.5) / 512.0 : (std::trunc(a * 256.0) + 0.5) / 256.0;
    return std::trunc(256.0 / std::sqrt(q) + 0.5) / 256.0;
}

uint32_t UnsignedRecipEstimate(uint32_t op) {
    if (!(op & 0x80000000u)) return 0xffffffffu;
    const uint64_t a = 0x3fe0000000000000ull | (uint64_t(op & 0x7fffffffu) << 21);
    return estimate_bits(recip_estimate(double_from_bits(a)));
}

uint32_t UnsignedRSqrtEstimate(uint32_t op) {
    if (op < 0x40000000u) return 0xffffffffu;
    const uint64_t a = (op & 0x80000000u)
                           ? 0x3fe0000000000000ull | (uint64_t(op & 0x7fffffffu) << 21)
                           : 0x3fd0000000000000ull | (uint64_t(op & 0x3fffffffu) << 22);
    return estimate_bits(recip_sqrt_estimate(double_from_bits(a)));
}

} // namespace ostrel::fplib
