#include "tests/oracle_reference/case_builder.h"

#include <cstring>

namespace ostrel::oracle::testing {

Case make_case(uint32_t encoding, const ArchState &state) {
    Case c{};
    c.header.magic = kCaseMagic;
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

ArchState random_state(std::mt19937_64 &rng) {
    ArchState s = zero_state();
    for (uint64_t &x : s.x)
        x = rng();
    s.sp = rng();
    s.nzcv = static_cast<uint32_t>(rng()) & 0xf0000000;
    s.fpcr = static_cast<uint32_t>(rng()) & kFpcrKept;
    s.fpsr = static_cast<uint32_t>(rng()) & kFpsrKept;
    for (auto &z : s.z)
        for (uint8_t &b : z)
            b = static_cast<uint8_t>(rng());
    for (auto &p : s.p)
        for (uint8_t &b : p)
            b = static_cast<uint8_t>(rng());
    for (uint8_t &b : s.ffr)
        b = static_cast<uint8_t>(rng());
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

void set_pred_bit(uint8_t *p, unsigned i, bool value) {
    const uint8_t mask = static_cast<uint8_t>(1u << (i % 8));
    p[i / 8] = static_cast<uint8_t>(value ? (p[i / 8] | mask) : (p[i / 8] & ~mask));
}

Pred first_elements(unsigned element_bytes, unsigned count) {
    Pred p{};
    for (unsigned e = 0; e < count; ++e)
        set_pred_bit(p.data(), e * element_bytes, true);
    return p;
}

uint32_t prefix_flags(unsigned count, unsigned elements) {
    uint32_t flags = 0;
    if (count > 0) flags |= kN;
    if (count == 0) flags |= kZ;
    if (count < elements) flags |= kC;
    return flags;
}

uint64_t load_le(const uint8_t *p, unsigned bytes) {
    uint64_t v = 0;
    for (unsigned i = bytes; i-- > 0;)
        v = (v << 8) | p[i];
    return v;
}

void store_le(uint8_t *p, unsigned bytes, uint64_t value) {
    for (unsigned i = 0; i < bytes; ++i, value >>= 8)
        p[i] = static_cast<uint8_t>(value);
}

uint32_t add_vectors(unsigned size, unsigned zd, unsigned zn, unsigned zm) {
    return 0x04200000u | size << 22 | zm << 16 | zn << 5 | zd;
}

uint32_t ptrues(unsigned size, unsigned pd, unsigned pattern) {
    return 0x2519e000u | size << 22 | pattern << 5 | pd;
}

uint32_t whilelo_x(unsigned size, unsigned pd, unsigned xn, unsigned xm) {
    return 0x25201c00u | size << 22 | xm << 16 | xn << 5 | pd;
}

} // namespace ostrel::oracle::testing
