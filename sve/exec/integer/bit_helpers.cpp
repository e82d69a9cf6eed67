#include "sve/exec/integer/bit_helpers.h"

namespace ostrel {

u128 PolynomialMult(uint64_t a, uint64_t b) {
    u128 product = 0;
    for (int i = 0; i < 64; ++i) {
        if ((b >> i) & 1) product ^= static_cast<u128>(a) << i;
    }
    return product;
}

} // namespace ostrel
