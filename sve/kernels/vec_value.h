// Value types of the vector-length-agnostic kernel route: a vector value, a predicate value and
// the context record a kernel reads and updates.
#pragma once

#include <cstdint>
#include <cstring>

// One vector register at the architectural maximum of 2048 bits. Only the first VL x 8 bytes
// carry meaning.
struct VecValue {
    alignas(16) uint8_t bytes[256];

    template <typename T> T get(unsigned i) const {
        T v;
        std::memcpy(&v, bytes + i * sizeof(T), sizeof(T));
        return v;
    }
    template <typename T> void set(unsigned i, T v) {
        std::memcpy(bytes + i * sizeof(T), &v, sizeof(T));
    }
};

// 256 predicate bits, least significant word first; bit b governs vector byte b.
struct PredV {
    uint64_t words[4];

    bool bit(unsigned b) const { return (words[b >> 6] >> (b & 63)) & 1; }
    void set_bit(unsigned b, bool on) {
        uint64_t mask = uint64_t{1} << (b & 63);
        words[b >> 6] = on ? (words[b >> 6] | mask) : (words[b >> 6] & ~mask);
    }
    void clear() { words[0] = words[1] = words[2] = words[3] = 0; }
};

struct CpuContext {
    uint32_t nzcv; // N bit 31, Z 30, C 29, V 28
    uint32_t fpsr;
    uint32_t fpcr;
    uint32_t vl; // vector length in 64-bit granules; element loops use the low 26 bits
    PredV ffr;
};

namespace ostrel {
// FPCR bits a kernel may see: AHP, DN, FZ, RMode, FZ16 and the trap enables.
constexpr uint32_t kKernelFpcrMask = 0x7c89f00;
constexpr uint32_t kVlMask = 0x3ffffff;
} // namespace ostrel
