// What the oracle found for one row, accumulated case by case, and the lines it prints.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/oracle/comparator.h"

namespace ostrel::oracle {

enum class RowStatus { pass, mismatch, unimplemented, undefined };

struct RowReport {
    std::string name;
    unsigned defined = 0;       // cases the reference executed
    unsigned unimplemented = 0; // cases the engine reported unimplemented
    bool mismatched = false;
    uint32_t mismatch_encoding = 0; // of the first mismatching case
    std::string difference;         // ... and its first difference

    void add(uint32_t encoding, const CaseJudgement &judgement);
    // A failure that is not a case's (a runner ended early): the row mismatches.
    void fail(uint32_t encoding, const std::string &what);
    RowStatus status() const;
};

// "PASS name", "MISMATCH name encoding disassembly: difference", "UNIMPLEMENTED name",
// "UNDEFINED name"; `disassembly` maps mismatching encodings to their text.
std::string row_line(const RowReport &row, const std::map<uint32_t, std::string> &disassembly);
// "rows: I implemented, M mismatching, U unimplemented"
std::string summary_line(const std::vector<RowReport> &rows);
// Whether the whole run passes: no mismatching row.
bool all_match(const std::vector<RowReport> &rows);

} // namespace ostrel::oracle
