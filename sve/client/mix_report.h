// The instruction-mix report: the sums of every thread's counters, grouped and formatted.
//
// Text form: the total, a table by mnemonic and element type (count, share), a table by class and
// the unimplemented words met (count, first PC).
// CSV form, one header line `kind,name,type,class,count,share,first_pc`, then rows of kinds
//   total          name = scope (`region` or `run`), count = instructions, share 1
//   instruction    name = mnemonic, type = element type, class, count, share
//   class          class, count, share (every class, also those with count 0)
//   unimplemented  name = the word (0x%08x), count, first_pc (0x...)
// Shares are fractions of the total with six decimals.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sve/client/mix_classify.h"
#include "sve/client/mix_counters.h"

namespace ostrel::mix {

struct MixLine {
    std::string mnemonic;
    std::string type;
    InstructionClass instruction_class;
    uint64_t count;
};

struct MixReport {
    // True when a region of interest was marked: every count is then of the region only.
    bool region_only = false;
    uint64_t total = 0;
    std::vector<MixLine> lines; // most frequent first; ties by mnemonic, then type
    uint64_t by_class[kNumClasses] = {};
    std::vector<UnimplementedWord> unimplemented; // most frequent first; counts of the scope
    uint64_t unimplemented_not_kept = 0;
};

MixReport build_report(const MixSnapshot &snapshot);

enum class MixFormat { text, csv };
// `name` is "text" or "csv"; false for anything else.
bool parse_format(const std::string &name, MixFormat *format);

std::string format_report(const MixReport &report, MixFormat format);

} // namespace ostrel::mix
