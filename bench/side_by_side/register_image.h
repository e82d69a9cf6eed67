// The machine state every class of the side-by-side benchmark starts from, built once here so the
// guest loop under QEMU and the engine's register file begin alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bench/side_by_side/classes.h"

namespace ostrel::bench {

enum class Fill { integer, floating };

struct BenchClass {
    const char *id;
    const char *name;
    const char *assembly;
    uint32_t word;
    Fill fill;
    unsigned element_bytes;
};

#define OSTREL_BENCH_ROW(id, name, assembly, word, fill, bytes)                                    \
    BenchClass{#id, name, assembly, word, Fill::fill, bytes},
inline constexpr BenchClass kBenchClasses[] = {OSTREL_BENCH_CLASSES(OSTREL_BENCH_ROW)};
#undef OSTREL_BENCH_ROW
inline constexpr std::size_t kNumBenchClasses = sizeof kBenchClasses / sizeof kBenchClasses[0];

// The class with this id, or null.
const BenchClass *find_bench_class(const char *id);

constexpr unsigned kImageVectorBytes = 192;
// X0 .. X27: X28 counts the loop, X29 and X30 are the guest's call.
constexpr unsigned kImageXRegs = 28;
// Loads read at most 2 vectors from X0 (LD2D); stores write one vector at X4.
constexpr std::size_t kBufferBytes = 4096;
constexpr std::size_t kStoreOffset = 2048;

struct RegisterImage {
    uint64_t x[kImageXRegs];
    uint8_t z[32][kImageVectorBytes];
    bool p[16][kImageVectorBytes]; // one entry per predicate bit
    bool ffr[kImageVectorBytes];
};

// The state `c` starts from, its pointers into `buffer` (kBufferBytes long), whose bytes it also
// sets.
void build_register_image(const BenchClass &c, uint8_t *buffer, RegisterImage &image);

// The value of element `index` of source vector `reg` under a floating fill: between 1 and 3,
// exact in every precision.
double floating_fill_value(unsigned reg, unsigned index);

// IEEE half-precision encoding of a positive normal value exact in half precision.
uint16_t half_bits(double value);

} // namespace ostrel::bench
