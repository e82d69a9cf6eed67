// How the instruction mix names and groups decode rows.
#pragma once

#include <string>

#include "sve/decode/decode_rows.h"

namespace ostrel::mix {

enum class InstructionClass : unsigned {
    integer,
    predicate,
    permute, // permutes and moves
    load,    // contiguous, replicating and structure loads, register fills, prefetches
    store,   // contiguous and structure stores, register spills
    gather_scatter,
    first_fault, // first-fault and non-fault loads
    floating_point,
};
constexpr unsigned kNumClasses = 8;

const char *class_name(InstructionClass c);
InstructionClass classify(const DecodeRow &row);

// The row's mnemonic: from its executor's name (sve_ld1w_scaled_zprr: LD1W); a kernel-road row,
// whose kernel carries no mnemonic, goes by its family as `ostrel-decode --list` shows it.
std::string mnemonic(const DecodeRow &row);

} // namespace ostrel::mix
