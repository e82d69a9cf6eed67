// Random values that favour the places where emulations go wrong: zero, one, all ones, the
// signed and unsigned extremes and their neighbours, powers of two, and the special values of
// half, single and double precision (NaNs with payloads, infinities, denormals, extremes).
#pragma once

#include <cstdint>

namespace ostrel::oracle {

// A small, fast generator (splitmix64): the same seed gives the same stream on every host.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    uint64_t below(uint64_t n) { return n == 0 ? 0 : next() % n; }
    bool percent(unsigned p) { return below(100) < p; }

  private:
    uint64_t state_;
};

// Mixes several numbers into one seed.
uint64_t mix_seed(uint64_t a, uint64_t b, uint64_t c);

// An integer of `bytes` bytes (1, 2, 4 or 8), boundary-heavy.
uint64_t boundary_integer(Rng &rng, unsigned bytes);
// A half (2), single (4) or double (8) precision bit pattern, special values favoured.
uint64_t floating_point_bits(Rng &rng, unsigned bytes);
// One element: integers and, for 2-, 4- and 8-byte elements, floating-point patterns
// (mostly floating point when `prefer_fp`).
uint64_t element_value(Rng &rng, unsigned bytes, bool prefer_fp);

} // namespace ostrel::oracle
