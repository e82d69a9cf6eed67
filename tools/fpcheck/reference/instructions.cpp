// One function per instruction (and per fraction-bit count of the fixed-point forms), each a
// single asm block: set FPCR, clear FPSR, run the instruction, read FPSR and NZCV, restore FPCR.
// Operand a is in v1 and in a general register, b in v2, c in v3; the result leaves v0 or a
// general register.
#include "tools/fpcheck/reference/instructions.h"

#include <cstddef>
#include <utility>

namespace ostrel::fpcheck {

namespace {

using RunFn = void (*)(const CheckCase &, CheckResult &);

#define STR_(x) #x
#define STR(x) STR_(x)

// Pre-result copy of v0 into the result register, or nothing when the instruction writes it.
#define FROM_V0 "fmov %x[r], d0\n\t"
#define IN_PLACE ""

#define RUN_ASM(INSN, POST, FB)                                                                    \
    uint64_t value, fpsr, nzcv;                                                                    \
    asm volatile(                                                                                  \
        "msr fpcr, %x[fpcr]\n\t"                                                                   \
        "msr fpsr, xzr\n\t"                                                                        \
        "fmov d1, %x[a]\n\t"                                                                       \
        "fmov d2, %x[b]\n\t"                                                                       \
        "fmov d3, %x[c]\n\t"                                                                       \
        "movi d0, #0\n\t"                                                                          \
        "mov %x[r], #0\n\t" INSN "\n\t" POST "mrs %x[fpsr], fpsr\n\t"                              \
        "mrs %x[nzcv], nzcv\n\t"                                                                   \
        "msr fpcr, xzr"                                                                            \
        : [r] "=&r"(value), [fpsr] "=&r"(fpsr), [nzcv] "=&r"(nzcv)                                 \
        : [fpcr] "r"(uint64_t(c.fpcr)), [a] "r"(c.a), [b] "r"(c.b), [c] "r"(c.c), [fb] "i"(FB)     \
        : "v0", "v1", "v2", "v3", "cc", "memory");                                                 \
    r.value = value;                                                                               \
    r.fpsr = static_cast<uint32_t>(fpsr);                                                          \
    r.nzcv = static_cast<uint32_t>(nzcv >> 28);

// The instruction text of each kind; FX adds the fraction-bit operand.
#define TEXT_FLOAT1(mn, rd, rs) STR(mn) " " STR(rd) "0, " STR(rs) "1"
#define TEXT_FLOAT2(mn, rd, rs) STR(mn) " " STR(rd) "0, " STR(rs) "1, " STR(rs) "2"
#define TEXT_FLOAT3(mn, rd, rs) STR(mn) " " STR(rd) "0, " STR(rs) "2, " STR(rs) "3, " STR(rs) "1"
#define TEXT_CMPMASK(mn, rd, rs) TEXT_FLOAT2(mn, rd, rs)
#define TEXT_CMPFLAGS(mn, rd, rs) STR(mn) " " STR(rs) "1, " STR(rs) "2"
#define TEXT_CONVERT(mn, rd, rs) TEXT_FLOAT1(mn, rd, rs)
#define TEXT_TOINT_SIMD(mn, rd, rs) TEXT_FLOAT1(mn, rd, rs)
#define TEXT_TOINT_GPR(mn, rd, rs) STR(mn) " %" STR(rd) "[r], " STR(rs) "1"
#define TEXT_FROMINT_SIMD(mn, rd, rs) TEXT_FLOAT1(mn, rd, rs)
#define TEXT_FROMINT_GPR(mn, rd, rs) STR(mn) " " STR(rd) "0, %" STR(rs) "[a]"

#define POST_FLOAT1 FROM_V0
#define POST_FLOAT2 FROM_V0
#define POST_FLOAT3 FROM_V0
#define POST_CMPMASK FROM_V0
#define POST_CMPFLAGS IN_PLACE
#define POST_CONVERT FROM_V0
#define POST_TOINT_SIMD FROM_V0
#define POST_TOINT_GPR IN_PLACE
#define POST_FROMINT_SIMD FROM_V0
#define POST_FROMINT_GPR FROM_V0

// Integer forms, and the fixed-point forms as templates over the fraction-bit count.
#define OP(id, mn, kind, rd, rs, src_bits, dst_bits, fbits_max)                                    \
    void run_##id(const CheckCase &c, CheckResult &r) {                                            \
        RUN_ASM(TEXT_##kind(mn, rd, rs), POST_##kind, 0)                                           \
    }                                                                                              \
    template <int FB> void run_##id##_fixed(const CheckCase &c, CheckResult &r) {                  \
        if constexpr (FB > 0) {                                                                    \
            RUN_ASM(TEXT_##kind(mn, rd, rs) ", #%[fb]", POST_##kind, FB)                           \
        } else {                                                                                   \
            run_##id(c, r);                                                                        \
        }                                                                                          \
    }
#include "tools/fpcheck/check_ops.def"
#undef OP

struct OpEntry {
    RunFn integer_form;
    const RunFn *fixed_forms; // indexed by fraction bits, entry 0 the integer form
    int fbits_max;
};

#define OP(id, mn, kind, rd, rs, src_bits, dst_bits, fbits_max)                                    \
    template <std::size_t... I> const RunFn *fixed_forms_##id(std::index_sequence<I...>) {         \
        static const RunFn table[] = {&run_##id##_fixed<static_cast<int>(I)>...};                  \
        return table;                                                                              \
    }
#include "tools/fpcheck/check_ops.def"
#undef OP

const OpEntry kOps[] = {
#define OP(id, mn, kind, rd, rs, src_bits, dst_bits, fbits_max)                                    \
    {&run_##id, fixed_forms_##id(std::make_index_sequence<fbits_max + 1>()), fbits_max},
#include "tools/fpcheck/check_ops.def"
#undef OP
};

} // namespace

bool run_instruction(OpId op, const CheckCase &c, CheckResult &r) {
    const auto index = static_cast<std::size_t>(op);
    if (index >= sizeof(kOps) / sizeof(kOps[0])) return false;
    const OpEntry &entry = kOps[index];
    if (static_cast<int>(c.fbits) > entry.fbits_max) return false;
    entry.fixed_forms[c.fbits](c, r);
    return true;
}

} // namespace ostrel::fpcheck
