// Declarations of every decode function (handler), one per decode row.
#pragma once

#include "sve/client/cpu_state.h"

#define SVE_ROW(handler, table, key, road, target) aarch64_decode_rc handler(cpu_state *, unsigned int);
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
