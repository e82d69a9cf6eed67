// Runs a test body at another vector length and gives the process its previous one back after.
#pragma once

#include "sve/client/vector_length.h"

namespace ostrel::testing {

class ScopedVectorLength {
  public:
    explicit ScopedVectorLength(unsigned bits) : saved_bits_(vector_bytes() * 8) {
        set_vector_length_bits(bits);
    }
    ~ScopedVectorLength() { set_vector_length_bits(saved_bits_); }
    ScopedVectorLength(const ScopedVectorLength &) = delete;
    ScopedVectorLength &operator=(const ScopedVectorLength &) = delete;

  private:
    unsigned saved_bits_;
};

} // namespace ostrel::testing
