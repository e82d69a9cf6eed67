#include "sve/client/vector_length.h"

#include <cstdio>
#include <cstdlib>

namespace ostrel {

const char kVectorLengthRule[] =
    "the vector length must be a multiple of 128 from 128 to 2048 bits";

namespace detail {
unsigned g_vector_bytes = kDefaultVectorBits / 8;
} // namespace detail

namespace {
bool is_valid_length(unsigned bits) {
    return bits >= kMinVectorBits && bits <= kMaxVectorBits && bits % 128 == 0;
}
} // namespace

bool parse_vector_length(const char *text, unsigned *bits) {
    // A leading zero would let one length be spelt many ways (and reads as octal to some).
    if (text == nullptr || *text < '1' || *text > '9') return false;
    unsigned value = 0;
    for (const char *c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + static_cast<unsigned>(*c - '0');
        // Stop before overflow can wrap a long digit string back into range.
        if (value > kMaxVectorBits) return false;
    }
    if (!is_valid_length(value)) return false;
    *bits = value;
    return true;
}

void set_vector_length_bits(unsigned bits) {
    if (!is_valid_length(bits)) {
        std::fprintf(stderr, "ostrel: %u bits: %s\n", bits, kVectorLengthRule);
        std::abort();
    }
    detail::g_vector_bytes = bits / 8;
}

} // namespace ostrel
