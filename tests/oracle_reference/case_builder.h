// Building oracle cases for the reference runner.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::testing {

// Floating-point control and status bits an AArch64 processor keeps (trap enables read as zero
// on processors without floating-point traps, qemu's among them).
constexpr uint32_t kFpcrKept = 0x07c80000; // AHP DN FZ RMode FZ16
constexpr uint32_t kFpsrKept = 0x0800009f; // QC IDC IXC UFC OFC DZC IOC

// The length cases run at unless a test says otherwise: the emulator's default.
constexpr unsigned kTestVectorBytes = 192;
constexpr unsigned kTestPredicateBytes = kTestVectorBytes / 8;

using Window = std::vector<uint8_t>;

struct Case {
    CaseHeader header;
    Window window; // empty for cases without memory
};

Case make_case(uint32_t encoding, const ArchState &state, unsigned vector_bytes = kTestVectorBytes);
Case make_memory_case(uint32_t encoding, const ArchState &state, const Window &window);
std::string serialize(const Case &c);
std::string serialize(const std::vector<Case> &cases);

ArchState zero_state();
// Every register random up to the length, zero past it; FPCR and FPSR only in the bits that are
// kept.
ArchState random_state(std::mt19937_64 &rng, unsigned vector_bytes = kTestVectorBytes);
Window random_window(std::mt19937_64 &rng);

bool pred_bit(const uint8_t *p, unsigned i);

namespace word {
constexpr uint32_t kCntbX0 = 0x0420e3e0;               // cntb x0
constexpr uint32_t kCntdX30 = 0x04e0e3fe;              // cntd x30
constexpr uint32_t kAddvlSpSp1 = 0x043f503f;           // addvl sp, sp, #1
constexpr uint32_t kAddvlX30SpMinus2 = 0x043f57de;     // addvl x30, sp, #-2
constexpr uint32_t kPtrueP3B = 0x2518e3e3;             // ptrue p3.b
constexpr uint32_t kSetffr = 0x252c9000;               // setffr
constexpr uint32_t kLd1dZ0P0X1 = 0xa5e0a020;           // ld1d {z0.d}, p0/z, [x1]
constexpr uint32_t kLdff1dZ0P0X1 = 0xa5ff6020;         // ldff1d {z0.d}, p0/z, [x1, xzr, lsl #3]
constexpr uint32_t kSt1dZ0P0X1 = 0xe5e0e020;           // st1d {z0.d}, p0, [x1]
constexpr uint32_t kSt1bZ4P2X5 = 0xe400e8a4;           // st1b {z4.b}, p2, [x5]
constexpr uint32_t kSt1bZ4P2X5X6 = 0xe40648a4;         // st1b {z4.b}, p2, [x5, x6]
constexpr uint32_t kUdf0 = 0x00000000;                 // udf #0
constexpr uint32_t kUnallocatedIntBinary = 0x04072e8c; // SVE integer group, unallocated
constexpr uint32_t kUnallocatedPredicate = 0x25bf992d; // SVE predicate group, unallocated
} // namespace word

} // namespace ostrel::oracle::testing
