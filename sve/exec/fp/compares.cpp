// FCMEQ, FCMGE, FCMGT, FCMNE, FCMUO (vectors) and FCMEQ, FCMGE, FCMGT, FCMLE, FCMLT (against
// +0.0) into a predicate, zeroing: EQ, NE and UO by the host's quiet compare (IOC only for a
// signalling NaN), the orderings by its signalling compare (IOC for any NaN). NZCV is untouched.
#include "sve/decode/forms.h"
#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"

using namespace ostrel;
using namespace ostrel::fp;

namespace {

struct Eq {
    template <class T> static bool test(HostFpu &f, T a, T b) { return f.equal(a, b); }
};
struct Ne {
    template <class T> static bool test(HostFpu &f, T a, T b) { return !f.equal(a, b); }
};
struct Ge {
    template <class T> static bool test(HostFpu &f, T a, T b) { return f.greater_equal(a, b); }
};
struct Gt {
    template <class T> static bool test(HostFpu &f, T a, T b) { return f.greater(a, b); }
};
struct Unordered {
    template <class T> static bool test(HostFpu &f, T a, T b) { return f.unordered(a, b); }
};
// n <= 0 and n < 0 as 0 >= n and 0 > n: the same signalling compares.
template <class Rel> struct Swapped {
    template <class T> static bool test(HostFpu &f, T a, T b) { return Rel::test(f, b, a); }
};

// Pd, Pg/Z, Zn, Zm (against_zero: Zm is +0.0 throughout).
template <class Rel, bool AgainstZero>
aarch64_decode_rc compare(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                          aarch64_z_reg zm) {
    with_fp_type(plain_type(zn), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        compare_into<T>(*s, pd.num, pg.num, [&](unsigned i) {
            const T m = AgainstZero ? T(0) : element<T>(*s, zm.num, i);
            return Rel::test(fpu, element<T>(*s, zn.num, i), m);
        });
    });
    return DECODE_OK;
}

template <class Rel>
aarch64_decode_rc with_zero(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return compare<Rel, true>(s, pd, pg, zn, zn);
}

} // namespace

aarch64_decode_rc sve_fcmeq_ppzz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                                 aarch64_z_reg zm) {
    return compare<Eq, false>(s, pd, pg, zn, zm);
}
aarch64_decode_rc sve_fcmge_ppzz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                                 aarch64_z_reg zm) {
    return compare<Ge, false>(s, pd, pg, zn, zm);
}
aarch64_decode_rc sve_fcmgt_ppzz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                                 aarch64_z_reg zm) {
    return compare<Gt, false>(s, pd, pg, zn, zm);
}
aarch64_decode_rc sve_fcmne_ppzz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                                 aarch64_z_reg zm) {
    return compare<Ne, false>(s, pd, pg, zn, zm);
}
aarch64_decode_rc sve_fcmuo_ppzz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg, aarch64_z_reg zn,
                                 aarch64_z_reg zm) {
    return compare<Unordered, false>(s, pd, pg, zn, zm);
}
aarch64_decode_rc sve_fcmeq_ppz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg,
                                aarch64_z_reg zn) {
    return with_zero<Eq>(s, pd, pg, zn);
}
aarch64_decode_rc sve_fcmge_ppz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg,
                                aarch64_z_reg zn) {
    return with_zero<Ge>(s, pd, pg, zn);
}
aarch64_decode_rc sve_fcmgt_ppz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg,
                                aarch64_z_reg zn) {
    return with_zero<Gt>(s, pd, pg, zn);
}
aarch64_decode_rc sve_fcmle_ppz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg,
                                aarch64_z_reg zn) {
    return with_zero<Swapped<Ge>>(s, pd, pg, zn);
}
aarch64_decode_rc sve_fcmlt_ppz(cpu_state *s, aarch64_p_reg pd, aarch64_p_reg pg,
                                aarch64_z_reg zn) {
    return with_zero<Swapped<Gt>>(s, pd, pg, zn);
}
