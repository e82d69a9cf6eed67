// FABS, FNEG, FSQRT, FRINTA (predicated) and FRECPE (unpredicated): one operand per element, one
// host operation per block of elements.
#include <cmath>
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/decode/host_fpsr.h"
#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"
#include "sve/exec/fp/lane_loops.h"

using namespace ostrel;
using namespace ostrel::fp;

namespace {

// Sign-bit operations raise nothing and run without the host unit.
struct Abs {
    template <class T> static Lanes<T> apply(HostFpu &, Lanes<T> a) {
        return a & ~broadcast<T>(kSignBit<T>);
    }
};
struct Neg {
    template <class T> static Lanes<T> apply(HostFpu &, Lanes<T> a) {
        return a ^ broadcast<T>(kSignBit<T>);
    }
};
struct RoundTiesAway {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a) {
        return f.round_ties_away_lanes<T>(a);
    }
};
struct RecipEstimate {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a) {
        return f.recip_estimate_lanes<T>(a);
    }
};

template <class T> constexpr T kInfinity = sizeof(T) == 4 ? T(0x7f800000u) : T(0x7ffull << 52);

// The operands outside the square root's domain are the negative numbers other than -0, up to
// and including -infinity (no NaN): the patterns from just above the sign bit to the sign bit
// plus infinity, one unsigned compare after moving the range's start to 0.
template <class T> constexpr T kSmallestNegative = kSignBit<T> + 1;
template <class T> bool outside_sqrt_domain(T a) {
    return static_cast<T>(a - kSmallestNegative<T>) < kInfinity<T>;
}

constexpr uint32_t kInvalidOperation = 1u; // FPSR.IOC

// The math library is also called for each negative operand, for its domain-error report (errno)
// alone; the elements are the instruction's results. Its flags are among those the instruction
// raised for the same operand.
template <class T> void report_domain_error(T a) {
    HostNative<T> v;
    std::memcpy(&v, &a, sizeof v);
    volatile HostNative<T> ignored = std::sqrt(v);
    (void)ignored;
}

// Zd, Pg/M, Zn.
template <class Op>
aarch64_decode_rc merging(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn) {
    with_fp_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        merge_blocks<T>(*s, zd.num, pg.num, {zn.num},
                        [&](Lanes<T> a) { return Op::template apply<T>(fpu, a); });
    });
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_fabs_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return merging<Abs>(s, zd, pg, zn);
}
aarch64_decode_rc sve_fneg_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return merging<Neg>(s, zd, pg, zn);
}
aarch64_decode_rc sve_fsqrt_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                aarch64_z_reg zn) {
    with_fp_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        // The operands as the host saw them: Zn may be Zd, so the rare domain reports after the
        // loop read them here. An operand outside the domain raises Invalid Operation, so they
        // are looked at only when this instruction raised it: the host FPSR's IOC is cleared
        // before the loop, and set again after if it was set.
        uint8_t operands[kMaxVectorBytes];
        const uint32_t fpsr_before = read_host_fpsr();
        write_host_fpsr(fpsr_before & ~kInvalidOperation);
        {
            HostFpu fpu(*s);
            uint8_t *operand_at = operands;
            merge_blocks<T>(*s, zd.num, pg.num, {zn.num}, [&](Lanes<T> a) {
                store_lanes<T>(operand_at, a);
                operand_at += kVectorBlockBytes;
                return fpu.sqrt_lanes<T>(a);
            });
        }
        const uint32_t fpsr_after = read_host_fpsr();
        write_host_fpsr(fpsr_after | (fpsr_before & kInvalidOperation));
        if ((fpsr_after & kInvalidOperation) != 0)
            for_each_element<T>(vector_bytes(), [&](unsigned i) {
                const T a = load_element<T>(operands, i);
                if (outside_sqrt_domain(a)) report_domain_error(a);
            });
    });
    return DECODE_OK;
}
aarch64_decode_rc sve_frinta_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                 aarch64_z_reg zn) {
    return merging<RoundTiesAway>(s, zd, pg, zn);
}
aarch64_decode_rc sve_frecpe_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    with_fp_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        compute_blocks<T>(*s, zd.num, {zn.num},
                          [&](Lanes<T> a) { return RecipEstimate::apply<T>(fpu, a); });
    });
    return DECODE_OK;
}
