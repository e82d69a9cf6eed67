#include "tools/fpcheck/deviations.h"

#include "tools/fpcheck/case_generator.h"

namespace ostrel::fpcheck {

CheckCase reference_case(const OpInfo &op, const CheckCase &c) {
    CheckCase r = c;
    const bool half_denormal = (c.a & 0x7c00) == 0 && (c.a & 0x3ff) != 0;
    // Half inputs of width conversions honour FZ16: a denormal converts as a zero of its sign,
    // silently (no IDC), which is what the instruction does with that zero.
    if (op.kind == OpKind::CONVERT && op.src_bits == 16 && (c.fpcr & kFpcrFz16) && half_denormal)
        r.a = c.a & 0x8000;
    // Integer to half never flushes its result: FZ16 plays no part.
    if (integer_source(op.kind) && op.dst_bits == 16) r.fpcr &= ~kFpcrFz16;
    return r;
}

} // namespace ostrel::fpcheck
