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

// Predicate bytes (one per bit, bit 0 meaningful) to a PredV and back, eight bytes to a bit-byte
// at a time: `count` is a multiple of 8 (every vector length is). The kernel road converts the
// governing predicate, the FFR and predicate results this way on every call.
inline PredV pack_predicate_bytes(const uint8_t *bytes, unsigned count) {
    PredV p;
    p.clear();
    for (unsigned i = 0; i < count; i += 8) {
        uint64_t w;
        std::memcpy(&w, bytes + i, sizeof w);
        // Bit 0 of byte k lands at bit 56 + k of the product: no two terms meet.
        const uint64_t gathered = ((w & 0x0101010101010101ull) * 0x0102040810204080ull) >> 56;
        p.words[i >> 6] |= gathered << (i & 63);
    }
    return p;
}

inline void unpack_predicate_bits(const PredV &p, unsigned count, uint8_t *bytes) {
    for (unsigned i = 0; i < count; i += 8) {
        const uint64_t eight = (p.words[i >> 6] >> (i & 63)) & 0xff;
        // Byte k keeps bit k of a copy of the eight bits; adding 0x7f carries any set bit into
        // bit 7 of its own byte (never beyond), which then moves down to bit 0.
        const uint64_t spread = (eight * 0x0101010101010101ull) & 0x8040201008040201ull;
        const uint64_t w = ((spread + 0x7f7f7f7f7f7f7f7full) >> 7) & 0x0101010101010101ull;
        std::memcpy(bytes + i, &w, sizeof w);
    }
}

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
