// What the check knows about each operation: its name, kind and operand widths.
#pragma once

#include "tools/fpcheck/check_protocol.h"

#include <cstddef>

namespace ostrel::fpcheck {

struct OpInfo {
    OpId id;
    const char *name; // the OpId spelled out, e.g. "FADD_H"
    OpKind kind;
    int src_bits;  // floating-point or integer operand width
    int dst_bits;  // result width
    int fbits_max; // 0 when there is no fixed-point form
};

constexpr std::size_t kOpCount = static_cast<std::size_t>(OpId::count);
const OpInfo &op_info(OpId id);

inline int arity(OpKind kind) {
    switch (kind) {
    case OpKind::FLOAT2:
    case OpKind::CMPMASK:
    case OpKind::CMPFLAGS:
        return 2;
    case OpKind::FLOAT3:
        return 3;
    default:
        return 1;
    }
}

inline bool integer_source(OpKind kind) {
    return kind == OpKind::FROMINT_SIMD || kind == OpKind::FROMINT_GPR;
}

} // namespace ostrel::fpcheck
