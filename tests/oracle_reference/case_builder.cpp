#include "tests/oracle_reference/case_builder.h"

#include <cstring>

namespace ostrel::oracle::testing {

Case make_case(uint32_t encoding, const ArchState &state, unsigned vector_bytes) {
    Case c{};
    c.header.magic = kCaseMagic;
    c.header.vector_bits = vector_bytes * 8;
    c.header.encoding = encoding;
    c.header.pc = 0x400000;
    c.header.memory_bytes = 0;
    c.header.state = state;
    return c;
}

Case make_memory_case(uint32_t encoding, const ArchState &state, const Window &window) {
    Case c = make_case(encoding, state);
    c.header.memory_bytes = kWindowBytes;
    c.window = window;
    return c;
}

std::string serialize(const Case &c) {
    std::string bytes(reinterpret_cast<const char *>(&c.header), sizeof c.header);
    bytes.append(c.window.begin(), c.window.end());
    return bytes;
}

std::string serialize(const std::vector<Case> &cases) {
    std::string bytes;
    for (const Case &c : cases)
        bytes += serialize(c);
    return bytes;
}

ArchState zero_state() {
    ArchState s;
    std::memset(&s, 0, sizeof s);
    return s;
}

ArchState random_state(std::mt19937_64 &rng, unsigned vector_bytes) {
    ArchState s = zero_state();
    for (uint64_t &x : s.x)
        x = rng();
    s.sp = rng();
    s.nzcv = static_cast<uint32_t>(rng()) & 0xf0000000;
    s.fpcr = static_cast<uint32_t>(rng()) & kFpcrKept;
    s.fpsr = static_cast<uint32_t>(rng()) & kFpsrKept;
    for (auto &z : s.z)
        for (unsigned i = 0; i < vector_bytes; ++i)
            z[i] = static_cast<uint8_t>(rng());
    for (auto &p : s.p)
        for (unsigned i = 0; i < vector_bytes / 8; ++i)
            p[i] = static_cast<uint8_t>(rng());
    for (unsigned i = 0; i < vector_bytes / 8; ++i)
        s.ffr[i] = static_cast<uint8_t>(rng());
    return s;
}

Window random_window(std::mt19937_64 &rng) {
    Window w(kWindowBytes);
    for (uint8_t &b : w)
        b = static_cast<uint8_t>(rng());
    return w;
}

bool pred_bit(const uint8_t *p, unsigned i) {
    return (p[i / 8] >> (i % 8)) & 1;
}

} // namespace ostrel::oracle::testing
