#include "tools/oracle/value_source.h"

namespace ostrel::oracle {
namespace {

uint64_t all_ones(unsigned bytes) {
    return bytes >= 8 ? ~0ull : (1ull << (bytes * 8)) - 1;
}

struct FloatFormat {
    unsigned exponent_bits, fraction_bits;
};

FloatFormat format_of(unsigned bytes) {
    switch (bytes) {
    case 2:
        return {5, 10};
    case 4:
        return {8, 23};
    default:
        return {11, 52};
    }
}

} // namespace

uint64_t mix_seed(uint64_t a, uint64_t b, uint64_t c) {
    Rng rng(a ^ 0x6a09e667f3bcc908ull);
    uint64_t s = rng.next() ^ b;
    Rng second(s);
    return second.next() ^ (c * 0x9e3779b97f4a7c15ull);
}

uint64_t boundary_integer(Rng &rng, unsigned bytes) {
    const uint64_t mask = all_ones(bytes);
    const unsigned bits = bytes * 8;
    const uint64_t sign = 1ull << (bits - 1);
    switch (rng.below(14)) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return mask; // -1
    case 3:
        return sign - 1; // signed maximum
    case 4:
        return sign; // signed minimum
    case 5:
        return sign + 1;
    case 6:
        return sign - 2;
    case 7:
        return mask - 1; // unsigned maximum - 1
    case 8:
        return rng.below(17); // small counts
    case 9:
        return (0 - (rng.below(16) + 1)) & mask; // small negatives
    case 10:
        return (1ull << rng.below(bits)) & mask;
    case 11:
        return ((1ull << rng.below(bits)) + (rng.percent(50) ? 1 : mask)) & mask;
    case 12:
        return rng.next() & (mask >> rng.below(bits)); // random magnitude
    default:
        return rng.next() & mask;
    }
}

uint64_t floating_point_bits(Rng &rng, unsigned bytes) {
    const FloatFormat f = format_of(bytes);
    const uint64_t fraction_mask = (1ull << f.fraction_bits) - 1;
    const uint64_t exponent_max = (1ull << f.exponent_bits) - 1;
    const uint64_t bias = exponent_max >> 1;
    const uint64_t quiet = 1ull << (f.fraction_bits - 1);
    auto pack = [&](uint64_t exponent, uint64_t fraction) {
        const uint64_t sign = rng.percent(50) ? 1ull << (f.exponent_bits + f.fraction_bits) : 0;
        return sign | (exponent << f.fraction_bits) | (fraction & fraction_mask);
    };
    switch (rng.below(12)) {
    case 0:
        return pack(0, 0); // +-0
    case 1:
        return pack(exponent_max, 0); // +-infinity
    case 2:
        return pack(exponent_max, quiet | (rng.next() & (quiet - 1))); // quiet NaN
    case 3:
        return pack(exponent_max, 1 + rng.below(quiet - 1)); // signalling NaN
    case 4:
        return pack(0, 1); // smallest denormal
    case 5:
        return pack(0, fraction_mask); // largest denormal
    case 6:
        return pack(0, rng.next()); // some denormal
    case 7:
        return pack(1, rng.percent(50) ? 0 : rng.next()); // smallest normals
    case 8:
        return pack(exponent_max - 1, rng.percent(50) ? fraction_mask : rng.next()); // largest
    case 9:
        return pack(bias, 0); // +-1.0
    default:                  // ordinary numbers of moderate magnitude
        return pack(bias - 8 + rng.below(17), rng.next());
    }
}

uint64_t element_value(Rng &rng, unsigned bytes, bool prefer_fp) {
    const bool fp_possible = bytes == 2 || bytes == 4 || bytes == 8;
    if (fp_possible && rng.percent(prefer_fp ? 75 : 15)) return floating_point_bits(rng, bytes);
    return boundary_integer(rng, bytes);
}

} // namespace ostrel::oracle
