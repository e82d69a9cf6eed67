// What the oracle needs to know about a decode row beyond its key: element sizes and, for
// memory rows, how the instruction forms its addresses. Read from the row's type and family
// names, which spell these out.
#pragma once

#include <string>

#include "sve/decode/decode_rows.h"

namespace ostrel::oracle {

enum class BaseKind {
    none,
    scalar, // Xn|SP in bits 9..5
    vector, // Zn in bits 9..5: its elements are the addresses
};

enum class OffsetKind {
    none,
    immediate, // in the encoding
    scalar,    // Xm in bits 20..16
    vector,    // Zm in bits 20..16
};

enum class ExtendKind {
    none, // 64-bit offsets, or offsets as wide as the element
    sxtw, // the low 32 bits of each 64-bit element, sign-extended
    uxtw, // the low 32 bits, zero-extended
};

struct RowTraits {
    unsigned element_bytes = 1; // of the row's type: U16 -> 2, P8 -> 1, U128 -> 16
    bool floating_point = false;

    bool memory = false;
    BaseKind base = BaseKind::none;
    OffsetKind offset = OffsetKind::none;
    ExtendKind extend = ExtendKind::none;
    unsigned memory_element_bytes = 1; // the digit after Load/Store/Prefetch/LEA
    unsigned registers = 1;            // structure accesses: E2..E4
    bool first_fault = false;          // first-fault (FF) and non-fault (NF) loads
    // Fills and spills: the immediate counts whole registers of this many bytes.
    unsigned fill_bytes = 0;
};

RowTraits row_traits(const DecodeRow &row);

} // namespace ostrel::oracle
