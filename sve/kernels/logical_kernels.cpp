// Kernels of the unary bit forms: NOT, CNOT, CLS, CLZ, CNT, ABS, REVB, REVH and UXTB, each
// merging (the old destination value comes first).
#include "sve/exec/integer/logical_elements.h"
#include "sve/kernels/logical_kernel_loops.h"

// The kernels' declarations come from their operand layouts; including them here keeps the
// definitions and the decode functions' calls in step.
#include "sve/decode/handlers.h"

using ostrel::logical::AbsElement;
using ostrel::logical::ClsElement;
using ostrel::logical::ClzElement;
using ostrel::logical::CnotElement;
using ostrel::logical::CntElement;
using ostrel::logical::NotElement;
using ostrel::logical::ReverseUnitsElement;
using ostrel::logical::ZeroExtendElement;
using ostrel::logical_kernels::merging_unary;

#define OSTREL_UNARY_KERNEL(name, Op, T)                                                           \
    VecValue name(VecValue old, PredV pg, VecValue zn, CpuContext *ctx) {                          \
        return merging_unary<Op, T>(old, pg, zn, ctx);                                             \
    }
// The same operation at every element size, U8..U64 (or S8..S64: signed rows differ only in name).
#define OSTREL_UNARY_KERNELS(prefix, family, Op)                                                   \
    OSTREL_UNARY_KERNEL(Vec##prefix##8##family, Op, uint8_t)                                       \
    OSTREL_UNARY_KERNEL(Vec##prefix##16##family, Op, uint16_t)                                     \
    OSTREL_UNARY_KERNEL(Vec##prefix##32##family, Op, uint32_t)                                     \
    OSTREL_UNARY_KERNEL(Vec##prefix##64##family, Op, uint64_t)

OSTREL_UNARY_KERNELS(U, InvVM, NotElement)
OSTREL_UNARY_KERNELS(U, NotVM, CnotElement)
OSTREL_UNARY_KERNELS(U, ClsVM, ClsElement)
OSTREL_UNARY_KERNELS(U, ClzVM, ClzElement)
OSTREL_UNARY_KERNELS(U, CntVM, CntElement)
OSTREL_UNARY_KERNELS(S, AbsVM, AbsElement)

// REVB on H, S and D elements; REVH on S and D.
OSTREL_UNARY_KERNEL(VecU16Rev1V, ReverseUnitsElement<1>, uint16_t)
OSTREL_UNARY_KERNEL(VecU32Rev1V, ReverseUnitsElement<1>, uint32_t)
OSTREL_UNARY_KERNEL(VecU64Rev1V, ReverseUnitsElement<1>, uint64_t)
OSTREL_UNARY_KERNEL(VecU32Rev2V, ReverseUnitsElement<2>, uint32_t)
OSTREL_UNARY_KERNEL(VecU64Rev2V, ReverseUnitsElement<2>, uint64_t)

// UXTB to H, S and D elements.
OSTREL_UNARY_KERNEL(VecU16Extnd12VM, ZeroExtendElement<uint8_t>, uint16_t)
OSTREL_UNARY_KERNEL(VecU32Extnd14VM, ZeroExtendElement<uint8_t>, uint32_t)
OSTREL_UNARY_KERNEL(VecU64Extnd18VM, ZeroExtendElement<uint8_t>, uint64_t)
