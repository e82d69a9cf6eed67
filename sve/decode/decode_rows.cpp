#include "sve/decode/decode_rows.h"

#include <initializer_list>

#include "sve/decode/handlers.h"
#include "sve/decode/row_types.h"

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
        t.ranges[t.num_ranges++] =
            BitRange{static_cast<uint8_t>(b[i]), static_cast<uint8_t>(b[i + 1])};
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

namespace {
constexpr RowState state_of(decode::FormState s) {
    return s == decode::FormState::built     ? RowState::built
           : s == decode::FormState::pending ? RowState::pending
                                             : RowState::no_layout;
}
std::string no_operands(uint32_t) {
    return "";
}
} // namespace

#define OSTREL_ROW_FORM_EXEC(type, family, target)                                                 \
    decode::ExecFormOf<ostrel_exec_tag_##target##_##family>
#define OSTREL_ROW_FORM_EXEC_FP(type, family, target) OSTREL_ROW_FORM_EXEC(type, family, target)
#define OSTREL_ROW_FORM_KERNEL(type, family, target) OSTREL_ROW_KERNEL_FORM(type, family)
#define OSTREL_ROW_STATE(road, type, family, target)                                               \
    state_of(OSTREL_ROW_FORM_##road(type, family, target)::state)
#define OSTREL_ROW_DESCRIBE(road, type, family, target)                                            \
    [](uint32_t e) {                                                                               \
        return OSTREL_ROW_FORM_##road(type, family, target)::describe(e, decode::row_type::type);  \
    }
// Prefetch rows have no form.
#define OSTREL_ROW_FORM_NONE(type, family, target) void
#define OSTREL_ROW_STATE_NONE RowState::built
#define OSTREL_ROW_DESCRIBE_NONE &no_operands
#define OSTREL_ROW_ENTRY_EXEC(...)                                                                 \
    OSTREL_ROW_STATE(EXEC, __VA_ARGS__), OSTREL_ROW_DESCRIBE(EXEC, __VA_ARGS__)
#define OSTREL_ROW_ENTRY_EXEC_FP(...) OSTREL_ROW_ENTRY_EXEC(__VA_ARGS__)
#define OSTREL_ROW_ENTRY_KERNEL(...)                                                               \
    OSTREL_ROW_STATE(KERNEL, __VA_ARGS__), OSTREL_ROW_DESCRIBE(KERNEL, __VA_ARGS__)
#define OSTREL_ROW_ENTRY_NONE(...) OSTREL_ROW_STATE_NONE, OSTREL_ROW_DESCRIBE_NONE

// Tags of rows whose form is not written yet.
#define SVE_ROW(handler, type, family, table, key, road, target)                                   \
    struct ostrel_exec_tag_##target##_##family;                                                    \
    struct ostrel_kernel_tag_##family;                                                             \
    struct ostrel_kernel_type_tag_##type##_##family;
} // namespace ostrel
#include "sve/decode/sve_rows.def"
namespace ostrel {
#undef SVE_ROW

const DecodeRow kDecodeRows[kNumRows] = {
#define SVE_ROW(handler, type, family, table, key, road, target)                                   \
    {#handler,                                                                                     \
     #type,                                                                                        \
     #family,                                                                                      \
     TableId::t_##table,                                                                           \
     key,                                                                                          \
     road_##road,                                                                                  \
     #target,                                                                                      \
     &::handler,                                                                                   \
     OSTREL_ROW_ENTRY_##road(type, family, target)},
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
};

} // namespace ostrel
