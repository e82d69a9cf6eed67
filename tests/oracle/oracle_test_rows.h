// Rows by name, for the oracle's tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sve/decode/decode_rows.h"

namespace ostrel::oracle::testing {

inline const DecodeRow &row_named(const char *name) {
    for (const DecodeRow &row : kDecodeRows)
        if (std::strcmp(row.name, name) == 0) return row;
    std::fprintf(stderr, "no decode row %s\n", name);
    std::abort();
}

} // namespace ostrel::oracle::testing
