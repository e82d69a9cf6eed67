// Guest memory for the load and store tests, the encodings of the contiguous forms, and the
// reference model of an access, beside the shared register file helpers.
#pragma once

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "tests/support/register_file.h"

namespace memory_test {

using namespace ostrel::testing;

// The pc of every register file here: a trace record carries it.
constexpr uintptr_t kPc = 0x4006f0;

// Guest memory: a host buffer whose middle is the base address of the accesses.
class GuestBuffer {
  public:
    explicit GuestBuffer(std::size_t bytes) : bytes_(bytes, 0) {}
    uint64_t middle() const { return address_of(bytes_.size() / 2); }
    uint64_t address_of(std::size_t offset) const {
        return reinterpret_cast<uintptr_t>(bytes_.data()) + offset;
    }
    std::size_t offset_of(uint64_t address) const {
        return static_cast<std::size_t>(address - address_of(0));
    }
    std::vector<uint8_t> &bytes() { return bytes_; }
    uint8_t byte_at(uint64_t address) const { return bytes_.at(offset_of(address)); }
    uint64_t value_at(uint64_t address, unsigned size) const {
        uint64_t v = 0;
        std::memcpy(&v, &bytes_.at(offset_of(address)), size);
        return v;
    }
    void fill_random(std::mt19937_64 &rng) {
        for (auto &b : bytes_)
            b = static_cast<uint8_t>(rng());
    }

  private:
    std::vector<uint8_t> bytes_;
};

// A page that faults on any access: an instruction that must not touch memory can point here.
class NoAccessPage {
  public:
    NoAccessPage() {
        page_ = mmap(nullptr, kSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        EXPECT_NE(page_, MAP_FAILED);
    }
    ~NoAccessPage() { munmap(page_, kSize); }
    NoAccessPage(const NoAccessPage &) = delete;
    NoAccessPage &operator=(const NoAccessPage &) = delete;
    uint64_t address() const { return reinterpret_cast<uintptr_t>(page_) + kSize / 2; }

  private:
    static constexpr std::size_t kSize = 64 * 1024;
    void *page_;
};

// An element is governed by the predicate byte at its first byte.
inline bool active(const cpu_state &s, unsigned pg, unsigned esize, unsigned i) {
    return (s.p[pg][i * esize] & 1) != 0;
}

// The value of `msize` memory bytes extended to `esize` register bytes.
inline uint64_t extend(uint64_t v, unsigned msize, unsigned esize, bool sign) {
    return low_bits(sign ? static_cast<uint64_t>(sign_extend(v, msize)) : v, esize);
}

// One contiguous form in its two addressing encodings (register fields zero).
struct ContiguousForm {
    const char *name;
    uint32_t imm_encoding;   // [Xn, #imm, MUL VL]
    uint32_t index_encoding; // [Xn, Xm, LSL #log2(msize)]
    unsigned msize, esize;
    bool sign;
};

// Register fields of loads and stores: Zt 4..0, Rn 9..5, Pg 12..10, Rm or imm4 at 20..16.
inline uint32_t with_imm(const ContiguousForm &f, unsigned zt, unsigned pg, unsigned rn, int imm) {
    return f.imm_encoding | (static_cast<uint32_t>(imm) & 15u) << 16 | pg << 10 | rn << 5 | zt;
}
inline uint32_t with_index(const ContiguousForm &f, unsigned zt, unsigned pg, unsigned rn,
                           unsigned rm) {
    return f.index_encoding | rm << 16 | pg << 10 | rn << 5 | zt;
}

// Encodings taken from the assembler (binutils), e.g. "ld1sb {z0.h}, p0/z, [x0]" and
// "ld1sb {z0.h}, p0/z, [x0, x0]".
inline const std::vector<ContiguousForm> &contiguous_loads() {
    static const std::vector<ContiguousForm> forms = {
        {"ld1b.b", 0xa400a000, 0xa4004000, 1, 1, false},
        {"ld1b.h", 0xa420a000, 0xa4204000, 1, 2, false},
        {"ld1b.s", 0xa440a000, 0xa4404000, 1, 4, false},
        {"ld1b.d", 0xa460a000, 0xa4604000, 1, 8, false},
        {"ld1sb.h", 0xa5c0a000, 0xa5c04000, 1, 2, true},
        {"ld1sb.s", 0xa5a0a000, 0xa5a04000, 1, 4, true},
        {"ld1sb.d", 0xa580a000, 0xa5804000, 1, 8, true},
        {"ld1h.h", 0xa4a0a000, 0xa4a04000, 2, 2, false},
        {"ld1h.s", 0xa4c0a000, 0xa4c04000, 2, 4, false},
        {"ld1h.d", 0xa4e0a000, 0xa4e04000, 2, 8, false},
        {"ld1sh.s", 0xa520a000, 0xa5204000, 2, 4, true},
        {"ld1sh.d", 0xa500a000, 0xa5004000, 2, 8, true},
        {"ld1w.s", 0xa540a000, 0xa5404000, 4, 4, false},
        {"ld1w.d", 0xa560a000, 0xa5604000, 4, 8, false},
        {"ld1sw.d", 0xa480a000, 0xa4804000, 4, 8, true},
        {"ld1d.d", 0xa5e0a000, 0xa5e04000, 8, 8, false},
        {"ldnt1b.b", 0xa400e000, 0xa400c000, 1, 1, false},
        {"ldnt1h.h", 0xa480e000, 0xa480c000, 2, 2, false},
        {"ldnt1w.s", 0xa500e000, 0xa500c000, 4, 4, false},
        {"ldnt1d.d", 0xa580e000, 0xa580c000, 8, 8, false},
    };
    return forms;
}

inline const std::vector<ContiguousForm> &contiguous_stores() {
    static const std::vector<ContiguousForm> forms = {
        {"st1b.b", 0xe400e000, 0xe4004000, 1, 1, false},
        {"st1b.h", 0xe420e000, 0xe4204000, 1, 2, false},
        {"st1b.s", 0xe440e000, 0xe4404000, 1, 4, false},
        {"st1b.d", 0xe460e000, 0xe4604000, 1, 8, false},
        {"st1h.h", 0xe4a0e000, 0xe4a04000, 2, 2, false},
        {"st1h.s", 0xe4c0e000, 0xe4c04000, 2, 4, false},
        {"st1h.d", 0xe4e0e000, 0xe4e04000, 2, 8, false},
        {"st1w.s", 0xe540e000, 0xe5404000, 4, 4, false},
        {"st1w.d", 0xe560e000, 0xe5604000, 4, 8, false},
        {"st1d.d", 0xe5e0e000, 0xe5e04000, 8, 8, false},
        {"stnt1b.b", 0xe410e000, 0xe4006000, 1, 1, false},
        {"stnt1h.h", 0xe490e000, 0xe4806000, 2, 2, false},
        {"stnt1w.s", 0xe510e000, 0xe5006000, 4, 4, false},
        {"stnt1d.d", 0xe590e000, 0xe5806000, 8, 8, false},
    };
    return forms;
}

// Random operand registers: the base any of X0..X30 or SP, the index one of X0..X30 other than
// the base.
struct Registers {
    unsigned zt, pg, rn, rm;
};
inline Registers random_registers(std::mt19937_64 &rng) {
    Registers r;
    r.zt = rng() % 32;
    r.pg = rng() % 8;
    r.rn = rng() % 32;
    do
        r.rm = rng() % 31; // 31 (XZR) is covered by a test of its own
    while (r.rm == r.rn);
    return r;
}

} // namespace memory_test
