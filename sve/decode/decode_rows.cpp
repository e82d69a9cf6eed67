#include "sve/decode/decode_rows.h"

#include <initializer_list>

#include "sve/decode/handlers.h"

namespace ostrel {

const char *road_name(Road road) {
    switch (road) {
    case Road::executor:
        return "executor";
    case Road::executor_fpsr_wrap:
        return "executor+fpsr";
    case Road::kernel:
        return "kernel";
    case Road::none:
        return "none";
    }
    return "?";
}

namespace {
// SVE_TABLE(rule, hi0, lo0, ...) -> {"decode_map__rule", {{hi0, lo0}, ...}, count}
constexpr DecodeTable make_table(const char *name, std::initializer_list<int> bounds) {
    DecodeTable t{name, {}, 0};
    const int *b = bounds.begin();
    for (std::size_t i = 0; i + 1 < bounds.size(); i += 2)
        t.ranges[t.num_ranges++] = BitRange{static_cast<uint8_t>(b[i]), static_cast<uint8_t>(b[i + 1])};
    return t;
}

constexpr Road road_EXEC = Road::executor;
constexpr Road road_EXEC_FP = Road::executor_fpsr_wrap;
constexpr Road road_KERNEL = Road::kernel;
constexpr Road road_NONE = Road::none;
} // namespace

const DecodeTable kDecodeTables[kNumTables] = {
#define SVE_TABLE(rule, ...) make_table("decode_map__" #rule, {__VA_ARGS__}),
#include "sve/decode/sve_tables.def"
#undef SVE_TABLE
};

const DecodeRow kDecodeRows[kNumRows] = {
#define SVE_ROW(handler, table, key, road, target)                                                 \
    {#handler, TableId::t_##table, key, road_##road, #target, &::handler},
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
};

} // namespace ostrel
