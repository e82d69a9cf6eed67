// FABS, FNEG, FSQRT, FRINTA (predicated) and FRECPE (unpredicated): one operand per element.
#include <cmath>
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"

using namespace ostrel;
using namespace ostrel::fp;

namespace {

// Sign-bit operations raise nothing and run without the host unit.
struct Abs {
    template <class T> static T apply(HostFpu &, T a) { return a & ~kSignBit<T>; }
};
struct Neg {
    template <class T> static T apply(HostFpu &, T a) { return negate(a); }
};

template <class T> constexpr T kInfinity = sizeof(T) == 4 ? T(0x7f800000u) : T(0x7ffull << 52);

// The math library is also called for a negative operand, for its domain-error report (errno)
// alone; the element is the instruction's result.
struct Sqrt {
    template <class T> static T apply(HostFpu &f, T a) {
        const T magnitude = a & ~kSignBit<T>;
        if (negative(a) && magnitude != 0 && magnitude <= kInfinity<T>) report_domain_error(a);
        return f.sqrt(a);
    }
    template <class T> static void report_domain_error(T a) {
        HostNative<T> v;
        std::memcpy(&v, &a, sizeof v);
        volatile HostNative<T> ignored = std::sqrt(v);
        (void)ignored;
    }
};
struct RoundTiesAway {
    template <class T> static T apply(HostFpu &f, T a) { return f.round_ties_away(a); }
};
struct RecipEstimate {
    template <class T> static T apply(HostFpu &f, T a) { return f.recip_estimate(a); }
};

// Zd, Pg/M, Zn.
template <class Op>
aarch64_decode_rc merging(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn) {
    with_fp_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        merge_into<T>(*s, zd.num, pg.num,
                      [&](unsigned i) { return Op::apply(fpu, element<T>(*s, zn.num, i)); });
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
    return merging<Sqrt>(s, zd, pg, zn);
}
aarch64_decode_rc sve_frinta_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                 aarch64_z_reg zn) {
    return merging<RoundTiesAway>(s, zd, pg, zn);
}
aarch64_decode_rc sve_frecpe_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    with_fp_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        compute_all<T>(*s, zd.num, [&](unsigned i) {
            return RecipEstimate::apply(fpu, element<T>(*s, zn.num, i));
        });
    });
    return DECODE_OK;
}
