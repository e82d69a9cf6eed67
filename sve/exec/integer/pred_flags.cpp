// PredTest on predicate values, element searches and the predicate-constraint patterns.
#include "sve/exec/integer/pred_flags.h"

#include "sve/exec/integer/element_counts.h"

namespace {

// The flag helpers count elements from the whole VL field.
uint32_t element_count(unsigned esize, const CpuContext *ctx) {
    return ctx->vl * 64 / esize;
}

bool any_bit_of_element(const PredV &p, uint32_t element, unsigned esize) {
    const unsigned bytes = esize / 8;
    for (unsigned b = 0; b < bytes; ++b)
        if (p.bit(element * bytes + b)) return true;
    return false;
}

} // namespace

void PredSetNZC(const PredV &mask, const PredV &result, unsigned esize, CpuContext *ctx) {
    const unsigned bytes = esize / 8;
    bool any_active = false, first = false, any_set = false, last = false;
    for (uint32_t e = 0, n = element_count(esize, ctx); e < n; ++e) {
        if (!mask.bit(e * bytes)) continue;
        if (!any_active) first = result.bit(e * bytes);
        any_active = true;
        last = any_bit_of_element(result, e, esize);
        any_set = any_set || last;
    }
    const uint32_t flags = ostrel::pred_test_flags(any_active, first, any_set, last);
    ctx->nzcv = (ctx->nzcv & ~(ostrel::kFlagN | ostrel::kFlagZ | ostrel::kFlagC)) | flags;
}

void PredSetNZCV(const PredV &mask, const PredV &result, unsigned esize, CpuContext *ctx) {
    PredSetNZC(mask, result, esize, ctx);
    ctx->nzcv &= ~ostrel::kFlagV;
}

uint32_t FindFirstActive(const PredV &p, unsigned esize, const CpuContext *ctx) {
    const unsigned bytes = esize / 8;
    for (uint32_t e = 0, n = element_count(esize, ctx); e < n; ++e)
        if (p.bit(e * bytes)) return e;
    return 0xffffffffu;
}

uint32_t FindLastActive(const PredV &p, unsigned esize, const CpuContext *ctx) {
    const unsigned bytes = esize / 8;
    for (uint32_t e = element_count(esize, ctx); e-- > 0;)
        if (p.bit(e * bytes)) return e;
    return 0xffffffffu;
}

uint32_t VecTrueILength(uint32_t pattern, uint32_t elements) {
    return ostrel::pattern_element_count(pattern, elements);
}
