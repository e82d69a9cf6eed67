// One oracle case and its outcome, as exchanged between the case generator, the reference runner
// (real SVE under qemu) and the engine runner. Plain little-endian records, the same layout on
// x86-64 and AArch64, streamed through files or pipes.
#pragma once

#include <cstdint>

namespace ostrel::oracle {

// Room for the longest vector length (2048 bits); a case at a shorter length uses the first
// bytes of each register and leaves the rest zero.
constexpr unsigned kStateVectorBytes = 256;
constexpr unsigned kStatePredicateBytes = kStateVectorBytes / 8; // one bit per vector byte

// The memory window every memory case addresses, mapped at the same fixed address in every
// runner and followed by an unmapped guard page (and preceded by one).
// Below 4 GiB, so that vectors of 32-bit addresses (zero-extended) can reach it too.
constexpr uint64_t kWindowAddress = 0x0000000070000000ull;
constexpr uint64_t kWindowBytes = 16 * 1024;

// Complete architectural state around one instruction.
struct ArchState {
    uint64_t x[31];
    uint64_t sp;
    uint32_t nzcv; // N bit 31, Z 30, C 29, V 28
    uint32_t fpcr;
    uint32_t fpsr;
    uint32_t reserved;
    uint8_t z[32][kStateVectorBytes];
    uint8_t p[16][kStatePredicateBytes]; // bit i of the register is bit (i % 8) of byte i / 8
    uint8_t ffr[kStatePredicateBytes];
    uint8_t reserved2[8];
};
static_assert(sizeof(ArchState) == 31 * 8 + 8 + 16 + 32 * 256 + 16 * 32 + 32 + 8);

// On the wire a case is the fixed part, followed by the window's contents when memory_bytes is
// kWindowBytes (memory forms); cases of other forms carry no memory (memory_bytes 0).
struct CaseHeader {
    uint32_t magic; // kCaseMagic
    uint32_t encoding;
    uint64_t pc; // address the instruction is taken to be at
    uint32_t memory_bytes;
    uint32_t vector_bits; // the length both runners run the case at
    ArchState state;
};
constexpr uint32_t kCaseMagic = 0x4f435331; // "OCS1"

enum class Outcome : uint32_t {
    completed = 0,
    undefined = 1,     // SIGILL on the reference: not an instruction there
    faulted = 2,       // SIGSEGV or SIGBUS
    unimplemented = 3, // the engine has no emulation for it (handler returned non-zero)
    no_handler = 4,    // the engine's tables do not know the encoding
};

// A result likewise carries the window afterwards when its case carried one.
struct ResultHeader {
    uint32_t magic; // kResultMagic
    Outcome outcome;
    uint64_t fault_address; // for faulted
    uint32_t memory_bytes;
    uint32_t reserved;
    ArchState state;
};
constexpr uint32_t kResultMagic = 0x4f525331; // "ORS1"

} // namespace ostrel::oracle
