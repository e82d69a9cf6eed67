// FADD, FSUB, FSUBR, FMUL, FDIV, FDIVR (vectors, predicated), their immediate forms, the
// unpredicated FADD, FSUB, FMUL and FRECPS: one host operation per block of elements.
#include "sve/decode/forms.h"
#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"
#include "sve/exec/fp/lane_loops.h"

using namespace ostrel;
using namespace ostrel::fp;

namespace {

struct Add {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a, Lanes<T> b) {
        return f.add_lanes<T>(a, b);
    }
};
struct Sub {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a, Lanes<T> b) {
        return f.sub_lanes<T>(a, b);
    }
};
struct SubR {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a, Lanes<T> b) {
        return f.sub_lanes<T>(b, a);
    }
};
struct Mul {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a, Lanes<T> b) {
        return f.mul_lanes<T>(a, b);
    }
};
struct Div {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a, Lanes<T> b) {
        return f.div_lanes<T>(a, b);
    }
};
struct DivR {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a, Lanes<T> b) {
        return f.div_lanes<T>(b, a);
    }
};
struct RecipStep {
    template <class T> static Lanes<T> apply(HostFpu &f, Lanes<T> a, Lanes<T> b) {
        return f.recip_step_lanes<T>(a, b);
    }
};

// The immediates' constants are small powers of two or zero: their single pattern widens to
// double exactly by moving the exponent and the (empty) fraction.
template <class T> T constant_of(uint32_t single) {
    if constexpr (sizeof(T) == 4) {
        return single;
    } else {
        if ((single & 0x7fffffffu) == 0) return uint64_t{single} << 32;
        const uint64_t exponent = ((single >> 23) & 0xff) - 127 + 1023;
        return uint64_t{single >> 31} << 63 | exponent << 52 | uint64_t{single & 0x7fffff} << 29;
    }
}

// Zdn, Pg/M, Zdn, #constant: the constant is the second operand.
template <class Op, class Constants>
aarch64_decode_rc with_constant(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_sve_fp_arith_imm imm) {
    const uint32_t single = imm.i1 ? Constants::when1 : Constants::when0;
    with_fp_type(read_write_type(zdn), [&](auto t) {
        using T = decltype(t);
        const Lanes<T> constant = broadcast<T>(constant_of<T>(single));
        HostFpu fpu(*s);
        merge_blocks<T>(*s, zdn.num, pg.num, {zdn.num},
                        [&](Lanes<T> a) { return Op::template apply<T>(fpu, a, constant); });
    });
    return DECODE_OK;
}

// Zdn, Pg/M, Zdn, Zm.
template <class Op, Inactive Fill = Inactive::zero>
aarch64_decode_rc merging(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg, aarch64_z_reg zm) {
    with_fp_type(read_write_type(zdn), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        merge_blocks<T, Fill>(*s, zdn.num, pg.num, {zdn.num, zm.num}, [&](Lanes<T> a, Lanes<T> b) {
            return Op::template apply<T>(fpu, a, b);
        });
    });
    return DECODE_OK;
}

// Zd, Zn, Zm, every element.
template <class Op>
aarch64_decode_rc unpredicated(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    with_fp_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        HostFpu fpu(*s);
        compute_blocks<T>(*s, zd.num, {zn.num, zm.num},
                          [&](Lanes<T> a, Lanes<T> b) { return Op::template apply<T>(fpu, a, b); });
    });
    return DECODE_OK;
}

using decode::FpHalfOrOne;
using decode::FpHalfOrTwo;

} // namespace

aarch64_decode_rc sve_fadd_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return merging<Add>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fsub_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return merging<Sub>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fsubr_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_z_reg zm) {
    return merging<SubR>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fmul_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return merging<Mul>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fdiv_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_z_reg zm) {
    return merging<Div, Inactive::one>(s, zdn, pg, zm);
}
aarch64_decode_rc sve_fdivr_zpz(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_z_reg zm) {
    return merging<DivR, Inactive::one>(s, zdn, pg, zm);
}

aarch64_decode_rc sve_fadd_zpi(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_sve_fp_arith_imm imm) {
    return with_constant<Add, FpHalfOrOne>(s, zdn, pg, imm);
}
aarch64_decode_rc sve_fsub_zpi(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_sve_fp_arith_imm imm) {
    return with_constant<Sub, FpHalfOrOne>(s, zdn, pg, imm);
}
aarch64_decode_rc sve_fsubr_zpi(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                                aarch64_sve_fp_arith_imm imm) {
    return with_constant<SubR, FpHalfOrOne>(s, zdn, pg, imm);
}
aarch64_decode_rc sve_fmul_zpi(cpu_state *s, aarch64_z_reg zdn, aarch64_p_reg pg,
                               aarch64_sve_fp_arith_imm imm) {
    return with_constant<Mul, FpHalfOrTwo>(s, zdn, pg, imm);
}

aarch64_decode_rc sve_fadd_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return unpredicated<Add>(s, zd, zn, zm);
}
aarch64_decode_rc sve_fsub_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return unpredicated<Sub>(s, zd, zn, zm);
}
aarch64_decode_rc sve_fmul_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return unpredicated<Mul>(s, zd, zn, zm);
}
aarch64_decode_rc sve_frecps_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn,
                                 aarch64_z_reg zm) {
    return unpredicated<RecipStep>(s, zd, zn, zm);
}
