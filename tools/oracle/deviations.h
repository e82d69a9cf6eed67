// The list of differences from the reference that the system's own rules require
// (tools/oracle/deviations.md): which rows, under which condition, in which state, and why.
#pragma once

#include <regex>
#include <string>
#include <vector>

#include "sve/decode/decode_rows.h"
#include "tools/oracle/case_io.h"

namespace ostrel::oracle {

enum class Condition {
    always,
    nan_input,         // an element of a Z register the instruction names is a NaN
    denormal_input,    // ... is a denormal
    fpcr_nondefault,   // the case's FPCR is not zero
    fz_denormal_input, // a denormal input (as denormal_input) while FPCR.FZ is set
    negative_input,    // an element (of the row's size) of a named Z register has its sign bit set
};

// The state a deviation lets differ.
enum class StateKind {
    x,
    sp,
    nzcv,
    fpcr,
    fpsr,
    z,
    z_nan_payload, // Z elements that are NaNs on both sides (element size of the row's type)
    p,
    ffr,
    memory,
    z_ffr_cleared, // Z elements whose FFR bits the emulator leaves clear
    ffr_inactive,  // FFR bits of elements the governing predicate (bits 12..10) leaves inactive
    fault,         // the reference faults where the engine completes
};

struct Deviation {
    std::string rows_pattern;
    std::regex rows; // searched in the handler name
    Condition condition;
    StateKind state;
    std::string reason;
    int line; // in the file, for messages
};

using DeviationList = std::vector<Deviation>;

// Parses the list's text: the table whose header is | Rows | Condition | State | Reason |.
// Returns false with a message naming the line on any malformed entry, unknown keyword, bad
// regular expression, empty reason or missing table.
bool parse_deviations(const std::string &text, DeviationList &out, std::string &error);
bool load_deviations(const std::string &path, DeviationList &out, std::string &error);

bool condition_holds(Condition condition, const DecodeRow &row, const Case &c);

} // namespace ostrel::oracle
