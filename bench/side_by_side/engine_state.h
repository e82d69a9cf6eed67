// A class's register image as the engine's register file, with the host buffer its pointers
// address: what the native side of the side-by-side benchmark, and its test, run handlers on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bench/side_by_side/register_image.h"
#include "sve/client/cpu_state.h"

namespace ostrel::bench {

class EngineSetup {
  public:
    // `buffer`, when given, is used in place of an own one (kBufferBytes long).
    explicit EngineSetup(const BenchClass &c, uint8_t *buffer = nullptr);

    // Back to the start state: the register file and the buffer's bytes.
    void reset();

    cpu_state *cpu() { return cpu_.get(); }
    uint32_t word() const { return word_; }
    uint8_t *buffer() { return buffer_; }

  private:
    std::vector<uint8_t> own_buffer_;
    uint8_t *buffer_;
    std::unique_ptr<cpu_state> start_, cpu_;
    std::vector<uint8_t> start_buffer_;
    uint32_t word_;
};

// The register file of an image: the image's registers, everything else zero.
void load_register_image(const RegisterImage &image, cpu_state &cpu);

} // namespace ostrel::bench
