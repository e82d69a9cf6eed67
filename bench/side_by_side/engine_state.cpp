#include "bench/side_by_side/engine_state.h"

#include <cstring>

namespace ostrel::bench {

void load_register_image(const RegisterImage &image, cpu_state &cpu) {
    std::memset(&cpu, 0, sizeof cpu);
    std::memcpy(cpu.x, image.x, sizeof image.x);
    // The register file's vectors are wider than the image's: one register at a time.
    for (unsigned r = 0; r < 32; ++r)
        std::memcpy(cpu.z[r], image.z[r], kImageVectorBytes);
    for (unsigned r = 0; r < 16; ++r)
        for (unsigned i = 0; i < kImageVectorBytes; ++i)
            cpu.p[r][i] = image.p[r][i];
    for (unsigned i = 0; i < kImageVectorBytes; ++i)
        cpu.ffr[i] = image.ffr[i];
}

EngineSetup::EngineSetup(const BenchClass &c, uint8_t *buffer)
    : buffer_(buffer), start_(std::make_unique<cpu_state>()), cpu_(std::make_unique<cpu_state>()),
      word_(c.word) {
    if (!buffer_) {
        own_buffer_.resize(kBufferBytes);
        buffer_ = own_buffer_.data();
    }
    auto image = std::make_unique<RegisterImage>();
    build_register_image(c, buffer_, *image);
    load_register_image(*image, *start_);
    start_buffer_.assign(buffer_, buffer_ + kBufferBytes);
    reset();
}

void EngineSetup::reset() {
    std::memcpy(cpu_.get(), start_.get(), sizeof *cpu_);
    std::memcpy(buffer_, start_buffer_.data(), kBufferBytes);
    // The handler's failure report reads the word at the PC.
    cpu_->pc = reinterpret_cast<unsigned char *>(&word_);
}

} // namespace ostrel::bench
