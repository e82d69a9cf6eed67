#include "tools/ostrel-run/saved_vectors.h"

#include <cstring>

namespace ostrel::runner {
namespace {

void pack(const uint8_t (&lanes)[kMaxVectorBytes], uint8_t (&bits)[SavedVectors::kPredicateBytes]) {
    for (unsigned i = 0; i < SavedVectors::kPredicateBytes; ++i) {
        uint8_t byte = 0;
        for (unsigned b = 0; b < 8; ++b)
            byte |= static_cast<uint8_t>((lanes[8 * i + b] & 1) << b);
        bits[i] = byte;
    }
}

void unpack(const uint8_t (&bits)[SavedVectors::kPredicateBytes],
            uint8_t (&lanes)[kMaxVectorBytes]) {
    for (unsigned i = 0; i < kMaxVectorBytes; ++i)
        lanes[i] = (bits[i / 8] >> (i % 8)) & 1;
}

} // namespace

void save_vectors(const cpu_state &state, SavedVectors &saved) {
    std::memcpy(saved.z, state.z, sizeof saved.z);
    for (unsigned i = 0; i < kNumPRegs; ++i)
        pack(state.p[i], saved.p[i]);
    pack(state.ffr, saved.ffr);
}

void restore_vectors(const SavedVectors &saved, cpu_state &state) {
    std::memcpy(state.z, saved.z, sizeof saved.z);
    for (unsigned i = 0; i < kNumPRegs; ++i)
        unpack(saved.p[i], state.p[i]);
    unpack(saved.ffr, state.ffr);
}

void clear_vectors(cpu_state &state) {
    std::memset(state.z, 0, sizeof state.z);
    std::memset(state.p, 0, sizeof state.p);
    std::memset(state.ffr, 0, sizeof state.ffr);
}

} // namespace ostrel::runner
