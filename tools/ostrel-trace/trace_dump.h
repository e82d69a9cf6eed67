// `ostrel-trace dump`: every record, one line each.
#pragma once

#include <cstdio>
#include <vector>

#include "sve/trace/sve_mem_ref.h"

namespace ostrel::trace {

enum class DumpFormat { kText, kCsv };

void dump_records(const std::vector<sve_mem_ref_t> &records, DumpFormat format, std::FILE *out);

} // namespace ostrel::trace
