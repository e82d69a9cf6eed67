// Declarations of every decode function (handler), one per decode row, and of every kernel the
// kernel road reaches (same name, the kernel's own parameters).
#pragma once

#include "sve/decode/forms.h"

#define SVE_ROW(handler, type, family, table, key, road, target)                                   \
    aarch64_decode_rc handler(cpu_state *, unsigned int);
#include "sve/decode/sve_rows.def"
#undef SVE_ROW

#define OSTREL_KERNEL_DECL_EXEC(handler, type, family)
#define OSTREL_KERNEL_DECL_EXEC_FP(handler, type, family)
#define OSTREL_KERNEL_DECL_NONE(handler, type, family)
#define OSTREL_KERNEL_DECL_KERNEL(handler, type, family)                                           \
    struct ostrel_kernel_tag_##family;                                                             \
    struct ostrel_kernel_type_tag_##type##_##family;                                               \
    OSTREL_ROW_KERNEL_FORM(type, family)::Sig handler;
#define SVE_ROW(handler, type, family, table, key, road, target)                                   \
    OSTREL_KERNEL_DECL_##road(handler, type, family)
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
