// Building oracle cases, and the small pieces of SVE arithmetic the tests compute their
// expectations with.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::testing {

constexpr uint32_t kN = 1u << 31, kZ = 1u << 30, kC = 1u << 29, kV = 1u << 28;
// Floating-point control and status bits an AArch64 processor keeps (trap enables read as zero
// on processors without floating-point traps, qemu's among them).
constexpr uint32_t kFpcrKept = 0x07c80000; // AHP DN FZ RMode FZ16
constexpr uint32_t kFpsrKept = 0x0800009f; // QC IDC IXC UFC OFC DZC IOC

using Pred = std::array<uint8_t, kPredicateBytes>;
using Window = std::vector<uint8_t>;

struct Case {
    CaseHeader header;
    Window window; // empty for cases without memory
};

Case make_case(uint32_t encoding, const ArchState &state);
Case make_memory_case(uint32_t encoding, const ArchState &state, const Window &window);
std::string serialize(const Case &c);
std::string serialize(const std::vector<Case> &cases);

ArchState zero_state();
// Every register random; FPCR and FPSR only in the bits that are kept.
ArchState random_state(std::mt19937_64 &rng);
Window random_window(std::mt19937_64 &rng);

bool pred_bit(const uint8_t *p, unsigned i);
void set_pred_bit(uint8_t *p, unsigned i, bool value);
// The first `count` elements of `element_bytes` active (their lowest bit set), the rest clear.
Pred first_elements(unsigned element_bytes, unsigned count);
// Flags of a predicate result over `elements` elements, all governing, whose first `count` are
// active: N first active, Z none active, C last not active, V clear.
uint32_t prefix_flags(unsigned count, unsigned elements);

uint64_t load_le(const uint8_t *p, unsigned bytes);
void store_le(uint8_t *p, unsigned bytes, uint64_t value);

// Encodings, each checked against the disassembler in encodings_test.cpp. `size` is 0 for
// bytes up to 3 for doublewords.
uint32_t add_vectors(unsigned size, unsigned zd, unsigned zn, unsigned zm);
uint32_t ptrues(unsigned size, unsigned pd, unsigned pattern);
uint32_t whilelo_x(unsigned size, unsigned pd, unsigned xn, unsigned xm);

namespace word {
constexpr uint32_t kCntbX0 = 0x0420e3e0;               // cntb x0
constexpr uint32_t kCntdX30 = 0x04e0e3fe;              // cntd x30
constexpr uint32_t kIncbX30 = 0x0430e3fe;              // incb x30
constexpr uint32_t kRdvlX30Times3 = 0x04bf507e;        // rdvl x30, #3
constexpr uint32_t kAddvlSpSp1 = 0x043f503f;           // addvl sp, sp, #1
constexpr uint32_t kAddvlX30SpMinus2 = 0x043f57de;     // addvl x30, sp, #-2
constexpr uint32_t kPtrueP3B = 0x2518e3e3;             // ptrue p3.b
constexpr uint32_t kSetffr = 0x252c9000;               // setffr
constexpr uint32_t kRdffrP5 = 0x2519f005;              // rdffr p5.b
constexpr uint32_t kRdffrsP5P6 = 0x2558f0c5;           // rdffrs p5.b, p6/z
constexpr uint32_t kLd1dZ7P1Sp = 0xa5e0a7e7;           // ld1d {z7.d}, p1/z, [sp]
constexpr uint32_t kLd1dZ7P1SpPlusVl = 0xa5e1a7e7;     // ld1d {z7.d}, p1/z, [sp, #1, mul vl]
constexpr uint32_t kLd1dZ0P0X1 = 0xa5e0a020;           // ld1d {z0.d}, p0/z, [x1]
constexpr uint32_t kLdff1dZ0P0X1 = 0xa5ff6020;         // ldff1d {z0.d}, p0/z, [x1, xzr, lsl #3]
constexpr uint32_t kSt1dZ0P0X1 = 0xe5e0e020;           // st1d {z0.d}, p0, [x1]
constexpr uint32_t kSt1bZ4P2X5 = 0xe400e8a4;           // st1b {z4.b}, p2, [x5]
constexpr uint32_t kSt1bZ4P2X5X6 = 0xe40648a4;         // st1b {z4.b}, p2, [x5, x6]
constexpr uint32_t kUdf0 = 0x00000000;                 // udf #0
constexpr uint32_t kUnallocatedIntBinary = 0x04072e8c; // SVE integer group, unallocated
constexpr uint32_t kUnallocatedPredicate = 0x25bf992d; // SVE predicate group, unallocated
} // namespace word

namespace pattern {
constexpr unsigned kPow2 = 0, kVl7 = 7, kVl256 = 13, kMul4 = 29, kMul3 = 30, kAll = 31;
}

} // namespace ostrel::oracle::testing
