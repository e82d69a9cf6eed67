// The host floating-point unit of an AArch64 host: one scalar instruction per operation, under the
// application's FPCR, with flags in the real FPSR. The instructions are written out so that each
// runs exactly once and no compiler transformation (contraction into a fused operation, an
// assumed rounding mode, a dropped compare) changes a result or a flag. Included through
// host_float.h. The *_lanes operations are the same instructions' vector forms on one 16-byte
// block: each lane's result and flags are those of the scalar instruction on that lane.
#pragma once

#include <cstdint>
#include <cstring>

namespace ostrel::fp {

using fplib::from_host;
using fplib::to_host;

// The register view of an element: %s for single, %d for double.
#define OSTREL_FP_ASM(T, single_text, double_text, ...)                                            \
    do {                                                                                           \
        if constexpr (sizeof(T) == 4)                                                              \
            __asm__ volatile(single_text : __VA_ARGS__);                                           \
        else                                                                                       \
            __asm__ volatile(double_text : __VA_ARGS__);                                           \
    } while (0)

#define OSTREL_FP_UNARY(name, insn)                                                                \
    template <class T> T name(T a) {                                                               \
        HostNative<T> r;                                                                           \
        const HostNative<T> x = to_host(a);                                                        \
        OSTREL_FP_ASM(T, insn " %s0, %s1", insn " %d0, %d1", "=w"(r) : "w"(x));                    \
        return from_host<T>(r);                                                                    \
    }
#define OSTREL_FP_BINARY(name, insn)                                                               \
    template <class T> T name(T a, T b) {                                                          \
        HostNative<T> r;                                                                           \
        const HostNative<T> x = to_host(a), y = to_host(b);                                        \
        OSTREL_FP_ASM(T, insn " %s0, %s1, %s2", insn " %d0, %d1, %d2", "=w"(r) : "w"(x), "w"(y));  \
        return from_host<T>(r);                                                                    \
    }
// The vector forms: %0.4s for single lanes, %0.2d for double lanes.
#define OSTREL_FP_LANES_UNARY(name, insn)                                                          \
    template <class T> Lanes<T> name##_lanes(Lanes<T> a) {                                         \
        Lanes<T> r;                                                                                \
        OSTREL_FP_ASM(T, insn " %0.4s, %1.4s", insn " %0.2d, %1.2d", "=w"(r) : "w"(a));            \
        return r;                                                                                  \
    }
#define OSTREL_FP_LANES_BINARY(name, insn)                                                         \
    template <class T> Lanes<T> name##_lanes(Lanes<T> a, Lanes<T> b) {                             \
        Lanes<T> r;                                                                                \
        OSTREL_FP_ASM(T, insn " %0.4s, %1.4s, %2.4s", insn " %0.2d, %1.2d, %2.2d", "=w"(r)         \
                      : "w"(a), "w"(b));                                                           \
        return r;                                                                                  \
    }
// FCMP (quiet) or FCMPE (signalling), then the condition.
#define OSTREL_FP_COMPARE(name, insn, cond)                                                        \
    template <class T> bool name(T a, T b) {                                                       \
        uint32_t r;                                                                                \
        const HostNative<T> x = to_host(a), y = to_host(b);                                        \
        OSTREL_FP_ASM(T, insn " %s1, %s2\n\tcset %w0, " cond, insn " %d1, %d2\n\tcset %w0, " cond, \
                      "=r"(r)                                                                      \
                      : "w"(x), "w"(y)                                                             \
                      : "cc");                                                                     \
        return r != 0;                                                                             \
    }

class HostFpu {
  public:
    explicit HostFpu(const cpu_state &) {}
    explicit HostFpu(uint32_t /*fpcr*/) {}
    HostFpu(const HostFpu &) = delete;
    HostFpu &operator=(const HostFpu &) = delete;

    OSTREL_FP_BINARY(add, "fadd")
    OSTREL_FP_BINARY(sub, "fsub")
    OSTREL_FP_BINARY(mul, "fmul")
    OSTREL_FP_BINARY(div, "fdiv")
    OSTREL_FP_BINARY(max_num, "fmaxnm")
    OSTREL_FP_BINARY(min_num, "fminnm")
    OSTREL_FP_BINARY(recip_step, "frecps")
    OSTREL_FP_UNARY(sqrt, "fsqrt")
    OSTREL_FP_UNARY(round_ties_away, "frinta")
    OSTREL_FP_UNARY(recip_estimate, "frecpe")
    OSTREL_FP_LANES_BINARY(add, "fadd")
    OSTREL_FP_LANES_BINARY(sub, "fsub")
    OSTREL_FP_LANES_BINARY(mul, "fmul")
    OSTREL_FP_LANES_BINARY(div, "fdiv")
    OSTREL_FP_LANES_BINARY(recip_step, "frecps")
    OSTREL_FP_LANES_BINARY(pairwise_add, "faddp")
    OSTREL_FP_LANES_UNARY(sqrt, "fsqrt")
    OSTREL_FP_LANES_UNARY(round_ties_away, "frinta")
    OSTREL_FP_LANES_UNARY(recip_estimate, "frecpe")
    OSTREL_FP_COMPARE(equal, "fcmp", "eq")
    OSTREL_FP_COMPARE(unordered, "fcmp", "vs")
    OSTREL_FP_COMPARE(greater_equal, "fcmpe", "ge")
    OSTREL_FP_COMPARE(greater, "fcmpe", "gt")

    // a + n x m rounded once (FMADD).
    template <class T> T muladd(T n, T m, T a) {
        HostNative<T> r;
        const HostNative<T> x = to_host(n), y = to_host(m), z = to_host(a);
        OSTREL_FP_ASM(T, "fmadd %s0, %s1, %s2, %s3", "fmadd %d0, %d1, %d2, %d3", "=w"(r)
                      : "w"(x), "w"(y), "w"(z));
        return from_host<T>(r);
    }

    // a + n x m rounded once in every lane (FMLA).
    template <class T> Lanes<T> muladd_lanes(Lanes<T> n, Lanes<T> m, Lanes<T> a) {
        OSTREL_FP_ASM(T, "fmla %0.4s, %1.4s, %2.4s", "fmla %0.2d, %1.2d, %2.2d", "+w"(a)
                      : "w"(n), "w"(m));
        return a;
    }

    // FCVT double to single of both double lanes, each single zero-extended in its lane (FCVTN,
    // then the widening of the two results).
    Lanes<uint64_t> narrow_lanes(Lanes<uint64_t> a) {
        Lanes<uint64_t> r;
        __asm__ volatile("fcvtn %0.2s, %1.2d\n\tuxtl %0.2d, %0.2s" : "=w"(r) : "w"(a));
        return r;
    }
    // FCVT single to double of the single in the low half of both lanes (the narrowing of the
    // two, then FCVTL).
    Lanes<uint64_t> widen_lanes(Lanes<uint64_t> a) {
        Lanes<uint64_t> r;
        __asm__ volatile("xtn %0.2s, %1.2d\n\tfcvtl %0.2d, %0.2s" : "=w"(r) : "w"(a));
        return r;
    }

    // FCVT between single and double.
    template <class From, class To> To convert(From a) {
        HostNative<To> r;
        const HostNative<From> x = to_host(a);
        OSTREL_FP_ASM(From, "fcvt %d0, %s1", "fcvt %s0, %d1", "=w"(r) : "w"(x));
        return from_host<To>(r);
    }

    // FCVTZS, FCVTZU to a 32- (To = uint32_t) or 64-bit integer.
    template <class From, class To> To to_integer(From a, bool is_unsigned) {
        To r;
        const HostNative<From> x = to_host(a);
        if constexpr (sizeof(To) == 4) {
            if (is_unsigned)
                OSTREL_FP_ASM(From, "fcvtzu %w0, %s1", "fcvtzu %w0, %d1", "=r"(r) : "w"(x));
            else
                OSTREL_FP_ASM(From, "fcvtzs %w0, %s1", "fcvtzs %w0, %d1", "=r"(r) : "w"(x));
        } else {
            if (is_unsigned)
                OSTREL_FP_ASM(From, "fcvtzu %x0, %s1", "fcvtzu %x0, %d1", "=r"(r) : "w"(x));
            else
                OSTREL_FP_ASM(From, "fcvtzs %x0, %s1", "fcvtzs %x0, %d1", "=r"(r) : "w"(x));
        }
        return r;
    }

    // SCVTF, UCVTF of a 64-bit integer (a 32-bit one arrives sign- or zero-extended, which
    // converts to the same value).
    template <class To> To from_integer(uint64_t a, bool is_unsigned) {
        HostNative<To> r;
        if (is_unsigned)
            OSTREL_FP_ASM(To, "ucvtf %s0, %x1", "ucvtf %d0, %x1", "=w"(r) : "r"(a));
        else
            OSTREL_FP_ASM(To, "scvtf %s0, %x1", "scvtf %d0, %x1", "=w"(r) : "r"(a));
        return from_host<To>(r);
    }
};

#undef OSTREL_FP_LANES_BINARY
#undef OSTREL_FP_LANES_UNARY
#undef OSTREL_FP_COMPARE
#undef OSTREL_FP_BINARY
#undef OSTREL_FP_UNARY
#undef OSTREL_FP_ASM

} // namespace ostrel::fp
