// Cases in, results out: the records of tools/oracle/oracle_case.h on file descriptors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/oracle/oracle_case.h"

namespace ostrel::oracle::reference {

struct CaseRecord {
    CaseHeader header;
    std::vector<uint8_t> window; // empty, or kWindowBytes of window contents
};

struct ResultRecord {
    ResultHeader header;
    std::vector<uint8_t> window; // the window afterwards when the case carried one
};

enum class ReadStatus { record, end, malformed };

// Reads one case; `end` when the input ends cleanly before a record. A malformed or truncated
// record, or one the runner must not execute, gives `malformed` with `error` set.
ReadStatus read_case(int fd, CaseRecord &record, std::string &error);

// Writes one result in full (an unbuffered write: the reader sees it at once).
bool write_result(int fd, const ResultRecord &record, std::string &error);

// Words the runner executes: the SVE encoding space, where no word transfers control or makes a
// system call, and the permanently undefined words (top half zero).
bool runnable_encoding(uint32_t encoding);

} // namespace ostrel::oracle::reference
