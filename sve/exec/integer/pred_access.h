// Bit access to predicates in both of their forms, so that one rule serves the executors (the
// register file's byte per bit) and the kernels (PredV values). Readers are callables bit(i) ->
// bool, writers callables out(i, bool).
#pragma once

#include <cstdint>

#include "sve/client/cpu_state.h"
#include "sve/kernels/vec_value.h"

namespace ostrel::pred {

// Only bit 0 of a predicate byte is meaningful; stray upper bits are ignored.
struct ByteReader {
    const uint8_t *bytes;
    bool operator()(unsigned i) const { return (bytes[i] & 1u) != 0; }
};
struct ByteWriter {
    uint8_t *bytes;
    void operator()(unsigned i, bool on) const { bytes[i] = on ? 1 : 0; }
};
struct ValueReader {
    const PredV &value;
    bool operator()(unsigned i) const { return value.bit(i); }
};
struct ValueWriter {
    PredV &value;
    void operator()(unsigned i, bool on) const { value.set_bit(i, on); }
};

// Predicate bits a kernel works on: one per vector byte of the context's vector length.
inline unsigned kernel_bits(const CpuContext *ctx) {
    return (ctx->vl & kVlMask) * 8;
}

// The number of elements of esize bytes among `bits` predicate bits whose first bit is set in
// both `a` and `b`.
template <typename A, typename B>
uint32_t count_active_both(unsigned bits, unsigned esize, A a, B b) {
    uint32_t count = 0;
    for (unsigned i = 0; i + esize <= bits; i += esize)
        if (a(i) && b(i)) ++count;
    return count;
}
template <typename A> uint32_t count_active(unsigned bits, unsigned esize, A a) {
    return count_active_both(bits, esize, a, [](unsigned) { return true; });
}

} // namespace ostrel::pred
