// ADR kernels whose rows run on the fixed-length road: the packed-doubleword forms. The decode
// tables reach the other twelve, declared with every reached kernel in sve/decode/handlers.h.
#pragma once

#include "sve/kernels/vec_value.h"

VecValue VecU64LEA1VV(VecValue zn, VecValue zm, CpuContext *ctx);
VecValue VecU64LEA2VV(VecValue zn, VecValue zm, CpuContext *ctx);
VecValue VecU64LEA4VV(VecValue zn, VecValue zm, CpuContext *ctx);
VecValue VecU64LEA8VV(VecValue zn, VecValue zm, CpuContext *ctx);
