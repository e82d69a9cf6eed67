// The fused multiply-adds FMLA, FMLS, FNMLA, FNMLS (accumulating into Zda), FMAD, FMSB, FNMAD,
// FNMSB (multiplying Zdn), and FCMLA (vectors): each product-sum one host fused operation, the
// negations sign flips of the operands (a NaN keeps its payload). The vector forms run one host
// fused operation per block of elements; FCMLA one per element.
#include "sve/decode/forms.h"
#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"
#include "sve/exec/fp/lane_loops.h"

using namespace ostrel;
using namespace ostrel::fp;

namespace {

// fused(product_sign(x) * y + addend_sign(z)); NegProduct and NegAddend flip x and z.
template <bool NegProduct, bool NegAddend> struct Fused {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> x, Lanes<T> y, Lanes<T> z) {
        const Lanes<T> sign = broadcast<T>(kSignBit<T>);
        return f.muladd_lanes<T>(NegProduct ? x ^ sign : x, y, NegAddend ? z ^ sign : z);
    }
};

// Zda, Pg/M, Zn, Zm: Zda = fused(Zn x Zm + Zda).
template <class Op>
aarch64_decode_rc accumulating(cpu_state *s, aarch64_z_reg zda, aarch64_p_reg pg, aarch64_z_reg zn,
                               aarch64_z_reg zm) {
    with_fp_type(read_write_type(zda), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        merge_blocks<T>(*s, zda.num, pg.num, {zn.num, zm.num, zda.num},
                        [&](Lanes<T> n, Lanes<T> m, Lanes<T> a) {
                            return Op::template apply<T>(fpu, n, m, a);
                        });
    });
    return DECODE_OK;
}

// Zdn, Pg/M, Zm, Za: Zdn = fused(Zdn x Zm + Za).
template <class Op>
aarch64_decode_rc multiplying(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm,
                              aarch64_z_reg za) {
    with_fp_type(read_write_type(zdn), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        merge_blocks<T>(*s, zdn.num, pg.num, {zdn.num, zm.num, za.num},
                        [&](Lanes<T> n, Lanes<T> m, Lanes<T> a) {
                            return Op::template apply<T>(fpu, n, m, a);
                        });
    });
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_fmla_zpzz(cpu_state *s, aarch64_z_reg zda, aarch64_p_reg pg, aarch64_z_reg zn,
                                aarch64_z_reg zm) {
    return accumulating<Fused<false, false>>(s, zda, pg, zn, zm);
}
aarch64_decode_rc sve_fmls_zpzz(cpu_state *s, aarch64_z_reg zda, aarch64_p_reg pg, aarch64_z_reg zn,
                                aarch64_z_reg zm) {
    return accumulating<Fused<true, false>>(s, zda, pg, zn, zm);
}
aarch64_decode_rc sve_fnmla_zpzz(cpu_state *s, aarch64_z_reg zda, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return accumulating<Fused<true, true>>(s, zda, pg, zn, zm);
}
aarch64_decode_rc sve_fnmls_zpzz(cpu_state *s, aarch64_z_reg zda, aarch64_p_reg pg,
                                 aarch64_z_reg zn, aarch64_z_reg zm) {
    return accumulating<Fused<false, true>>(s, zda, pg, zn, zm);
}
aarch64_decode_rc sve_fmad_zpzz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm,
                                aarch64_z_reg za) {
    return multiplying<Fused<false, false>>(s, zdn, pg, zm, za);
}
aarch64_decode_rc sve_fmsb_zpzz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm,
                                aarch64_z_reg za) {
    return multiplying<Fused<true, false>>(s, zdn, pg, zm, za);
}
aarch64_decode_rc sve_fnmad_zpzz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                 aarch64_z_reg zm, aarch64_z_reg za) {
    return multiplying<Fused<true, true>>(s, zdn, pg, zm, za);
}
aarch64_decode_rc sve_fnmsb_zpzz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                 aarch64_z_reg zm, aarch64_z_reg za) {
    return multiplying<Fused<false, true>>(s, zdn, pg, zm, za);
}

// FCMLA Zda, Pg/M, Zn, Zm, #rot on (real, imaginary) pairs: with sel = rot bit 0, both parts
// multiply Zn[pair + sel]; the real part by Zm[pair + sel], negated for 90 and 180 degrees, the
// imaginary part by Zm[pair + 1 - sel], negated for 180 and 270. Each element has its own
// predicate bit.
aarch64_decode_rc sve_fcmla_zpzzr(cpu_state *s, aarch64_z_reg zda, aarch64_p_reg pg,
                                  aarch64_z_reg zn, aarch64_z_reg zm, unsigned int rot) {
    const unsigned sel = rot & 1;
    const bool negate_real = rot == 1 || rot == 2, negate_imaginary = rot >= 2;
    with_fp_type(read_write_type(zda), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        merge_into<T>(*s, zda.num, pg.num, [&](unsigned i) {
            const unsigned pair = i & ~1u;
            const bool imaginary = i & 1;
            const T x = element<T>(*s, zn.num, pair + sel);
            const T y = element<T>(*s, zm.num, imaginary ? pair + 1 - sel : pair + sel);
            const bool neg = imaginary ? negate_imaginary : negate_real;
            return fpu.muladd(x, neg ? negate(y) : y, element<T>(*s, zda.num, i));
        });
    });
    return DECODE_OK;
}
