// FMAX, FMAXNM, FMINNM (vectors, predicated) and the FMAXNMV, FMINNMV reductions, by the host
// route's element rules: FMAX by host compares, the number forms by the host's FMAXNM/FMINNM
// after an equal-values rule. The rules hand back an operand's own bits where the architecture
// would canonicalise them (tools/oracle/deviations.md).
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"
#include "sve/exec/fp/host_shapes.h"

using namespace ostrel;
using namespace ostrel::fp;

namespace {

// A NaN dn, else a NaN m, is returned as it is (the quiet compare that finds it raises IOC for a
// signalling one); equal values give dn unless it is negative, so +0 beats -0; else the larger.
struct Max {
    template <class T> static T apply(HostFpu &f, T dn, T m) {
        if (f.unordered(dn, dn)) return dn;
        if (f.unordered(m, m)) return m;
        if (f.equal(dn, m)) return negative(dn) ? m : dn;
        return f.greater(dn, m) ? dn : m;
    }
};
// Equal values: dn unless it is negative (FMAXNM), dn if it is negative (FMINNM), else m;
// otherwise the host instruction, which ignores a single quiet NaN.
struct MaxNum {
    template <class T> static T apply(HostFpu &f, T dn, T m) {
        if (f.equal(dn, m)) return negative(dn) ? m : dn;
        return f.max_num(dn, m);
    }
};
struct MinNum {
    template <class T> static T apply(HostFpu &f, T dn, T m) {
        if (f.equal(dn, m)) return negative(dn) ? dn : m;
        return f.min_num(dn, m);
    }
};

template <class T> constexpr T kDefaultNaN = sizeof(T) == 4 ? T(0x7fc00000u) : T(0x7ff8ull << 48);

// Vd = the pairwise tree of Op over Zn's active elements, inactive elements and the padding to a
// power of two (64 single, 32 double) being the default NaN, which the number rules ignore. The
// scalar lands in element 0, every other byte of Vd is zeroed.
template <class Op>
aarch64_decode_rc reduction(cpu_state *s, unsigned int vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    with_fp_type(plain_type(zn), [&](auto t) {
        using T = decltype(t);
        constexpr unsigned kPadded = kMaxVectorBytes / sizeof(T);
        const unsigned bytes = vector_bytes(), elements = bytes / sizeof(T);
        T work[kPadded];
        for (unsigned i = 0; i < kPadded; ++i)
            work[i] = i < elements && element_active<T>(s->p[pg.num], i) ? element<T>(*s, zn.num, i)
                                                                         : kDefaultNaN<T>;
        HostFpu fpu(*s);
        for (unsigned n = kPadded; n > 1; n /= 2)
            for (unsigned i = 0; i < n / 2; ++i)
                work[i] = Op::apply(fpu, work[2 * i], work[2 * i + 1]);
        fill_vector(s->z[vd], 0, bytes);
        store_element<T>(s->z[vd], 0, work[0]);
    });
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_fmax_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return merging<Max>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fmaxnm_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                 aarch64_z_reg zm) {
    return merging<MaxNum>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fminnm_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                 aarch64_z_reg zm) {
    return merging<MinNum>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fmaxnmv_vpz(cpu_state *s, unsigned int vd, aarch64_p_reg pg,
                                  aarch64_z_reg zn) {
    return reduction<MaxNum>(s, vd, pg, zn);
}
aarch64_decode_rc sve_fminnmv_vpz(cpu_state *s, unsigned int vd, aarch64_p_reg pg,
                                  aarch64_z_reg zn) {
    return reduction<MinNum>(s, vd, pg, zn);
}
