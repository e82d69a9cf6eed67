// Whole case and result records on file descriptors, as the runners and the host exchange them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle {

struct Case {
    CaseHeader header{};
    std::vector<uint8_t> memory; // kWindowBytes when header.memory_bytes says so, else empty
};

struct Result {
    ResultHeader header{};
    std::vector<uint8_t> memory;
};

enum class ReadStatus {
    ok,
    end,       // clean end of stream before the record's first byte
    malformed, // short record, wrong magic or memory size, or a read error
};

ReadStatus read_case(int fd, Case &c);
ReadStatus read_result(int fd, Result &r);
// False when the descriptor stops taking data (the reader went away).
bool write_case(int fd, const Case &c);
bool write_result(int fd, const Result &r);

// Predicate registers travel packed, one bit per vector byte.
inline bool packed_bit(const uint8_t *packed, unsigned i) {
    return (packed[i / 8] >> (i % 8)) & 1;
}
inline void set_packed_bit(uint8_t *packed, unsigned i, bool value) {
    const uint8_t mask = static_cast<uint8_t>(1u << (i % 8));
    packed[i / 8] = static_cast<uint8_t>(value ? packed[i / 8] | mask : packed[i / 8] & ~mask);
}

} // namespace ostrel::oracle
