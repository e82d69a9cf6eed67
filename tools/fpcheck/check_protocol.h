// What the check tool and its AArch64 reference runner exchange over the runner's standard input
// and output: a batch header, then that many cases; the runner answers with one result per case.
#pragma once

#include <cstdint>

namespace ostrel::fpcheck {

enum class OpKind {
    FLOAT1,       // one floating-point operand
    FLOAT2,       // two
    FLOAT3,       // addend, multiplicand, multiplicand
    CMPMASK,      // compare into an all-ones or zero element
    CMPFLAGS,     // compare into NZCV
    CONVERT,      // between floating-point widths
    TOINT_SIMD,   // float to integer in a SIMD&FP register
    TOINT_GPR,    // float to integer in a general register
    FROMINT_SIMD, // integer in a SIMD&FP register to float
    FROMINT_GPR,  // integer in a general register to float
};

enum class OpId : uint32_t {
#define OP(id, mnemonic, kind, rd, rs, src_bits, dst_bits, fbits_max) id,
#include "tools/fpcheck/check_ops.def"
#undef OP
    count
};

struct BatchHeader {
    uint32_t op;    // an OpId
    uint32_t count; // cases that follow
};

struct CheckCase {
    uint64_t a, b, c; // operands (bit patterns or integers), zero-extended
    uint32_t fpcr;
    uint32_t fbits; // 0 for the integer form of a conversion
};

struct CheckResult {
    uint64_t value; // result bits, zero-extended
    uint32_t fpsr;  // cumulative flags after the instruction alone
    uint32_t nzcv;  // the compare into NZCV only: N, Z, C, V as bits 3..0
};

static_assert(sizeof(CheckCase) == 32 && sizeof(CheckResult) == 16, "record layout");

} // namespace ostrel::fpcheck
