// The decode functions: one per decode row, expanded from the rows and their operand layouts.
#include "sve/decode/handlers.h"
#include "sve/decode/row_types.h"
#include "sve/decode/run_row.h"

#define OSTREL_ROW_EXEC(handler, type, family, target, wrap)                                       \
    struct ostrel_exec_tag_##target##_##family;                                                    \
    aarch64_decode_rc handler(cpu_state *s, unsigned int e) {                                      \
        return ostrel::decode::run_executor_row<ostrel_exec_tag_##target##_##family, wrap>(        \
            s, e, ostrel::decode::row_type::type, #handler);                                       \
    }
#define OSTREL_ROW_EXEC_EXEC(handler, type, family, target)                                        \
    OSTREL_ROW_EXEC(handler, type, family, target, false)
#define OSTREL_ROW_EXEC_EXEC_FP(handler, type, family, target)                                     \
    OSTREL_ROW_EXEC(handler, type, family, target, true)
#define OSTREL_ROW_EXEC_KERNEL(handler, type, family, target)                                      \
    namespace {                                                                                    \
    struct KernelRef_##handler {                                                                   \
        template <typename Sig> static Sig *get() { return &::handler; }                           \
    };                                                                                             \
    }                                                                                              \
    aarch64_decode_rc handler(cpu_state *s, unsigned int e) {                                      \
        using Form = OSTREL_ROW_KERNEL_FORM(type, family);                                         \
        return ostrel::decode::run_kernel_row<Form, KernelRef_##handler>(                          \
            s, e, ostrel::decode::row_type::type, #handler);                                       \
    }
// Prefetches are hints: emulated, they do nothing.
#define OSTREL_ROW_EXEC_NONE(handler, type, family, target)                                        \
    aarch64_decode_rc handler(cpu_state *, unsigned int) {                                         \
        return DECODE_OK;                                                                          \
    }

#define SVE_ROW(handler, type, family, table, key, road, target)                                   \
    OSTREL_ROW_EXEC_##road(handler, type, family, target)
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
