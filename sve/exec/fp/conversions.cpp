// FCVT between single and double, FCVTZS/FCVTZU (float to integer, toward zero, saturating) and
// SCVTF/UCVTF (integer to float, by the rounding mode) on the host route. Named from-size 2
// to-size (s 32-bit, d 64-bit): every form but s2s works on 64-bit elements, a 32-bit source
// being the element's low half and a 32-bit result zero-extended into it.
#include "sve/decode/forms.h"
#include "sve/exec/fp/fp_loops.h"
#include "sve/exec/fp/host_float.h"
#include "sve/exec/fp/lane_loops.h"

using namespace ostrel;
using namespace ostrel::fp;

namespace {

// Zd, Pg/M, Zn over elements of C bits: Zd = op(fpu, Zn element) where active.
template <class C, class Op>
aarch64_decode_rc convert(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn,
                          Op op) {
    HostFpu fpu(*s);
    merge_into<C>(*s, zd.num, pg.num,
                  [&](unsigned i) { return static_cast<C>(op(fpu, element<C>(*s, zn.num, i))); });
    return DECODE_OK;
}

// The same on 64-bit elements a block at a time, for the conversions between single and double
// (an inactive lane converts +0, exactly).
template <class Op>
aarch64_decode_rc convert_blocks(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, aarch64_z_reg zn,
                                 Op op) {
    HostFpu fpu(*s);
    merge_blocks<uint64_t>(*s, zd.num, pg.num, {zn.num},
                           [&](Lanes<uint64_t> a) { return op(fpu, a); });
    return DECODE_OK;
}

uint64_t sign_extend32(uint64_t v) {
    return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(v)));
}
uint64_t low32(uint64_t v) {
    return static_cast<uint32_t>(v);
}

template <class From, class To, bool Unsigned> struct ToInteger {
    template <class C> C operator()(HostFpu &f, C v) const {
        return f.to_integer<From, To>(static_cast<From>(v), Unsigned);
    }
};
// Source is a 32-bit integer read signed (sign-extended) or unsigned, or a 64-bit one.
template <class To, bool Unsigned, bool Source32> struct FromInteger {
    template <class C> C operator()(HostFpu &f, C v) const {
        const uint64_t x = !Source32 ? uint64_t{v} : Unsigned ? low32(v) : sign_extend32(v);
        return f.from_integer<To>(x, Unsigned);
    }
};

} // namespace

aarch64_decode_rc sve_fcvt_d2s_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                   aarch64_z_reg zn) {
    return convert_blocks(s, zd, pg, zn,
                          [](HostFpu &f, Lanes<uint64_t> v) { return f.narrow_lanes(v); });
}
aarch64_decode_rc sve_fcvt_s2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                   aarch64_z_reg zn) {
    return convert_blocks(s, zd, pg, zn,
                          [](HostFpu &f, Lanes<uint64_t> v) { return f.widen_lanes(v); });
}

aarch64_decode_rc sve_fcvtzs_s2s_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                     aarch64_z_reg zn) {
    return convert<uint32_t>(s, zd, pg, zn, ToInteger<uint32_t, uint32_t, false>{});
}
aarch64_decode_rc sve_fcvtzs_s2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                     aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, ToInteger<uint32_t, uint64_t, false>{});
}
aarch64_decode_rc sve_fcvtzs_d2s_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                     aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, ToInteger<uint64_t, uint32_t, false>{});
}
aarch64_decode_rc sve_fcvtzs_d2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                     aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, ToInteger<uint64_t, uint64_t, false>{});
}
aarch64_decode_rc sve_fcvtzu_d2s_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                     aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, ToInteger<uint64_t, uint32_t, true>{});
}
aarch64_decode_rc sve_fcvtzu_d2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                     aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, ToInteger<uint64_t, uint64_t, true>{});
}

aarch64_decode_rc sve_scvtf_s2s_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                    aarch64_z_reg zn) {
    return convert<uint32_t>(s, zd, pg, zn, FromInteger<uint32_t, false, true>{});
}
aarch64_decode_rc sve_scvtf_s2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                    aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, FromInteger<uint64_t, false, true>{});
}
aarch64_decode_rc sve_scvtf_d2s_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                    aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, FromInteger<uint32_t, false, false>{});
}
aarch64_decode_rc sve_scvtf_d2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                    aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, FromInteger<uint64_t, false, false>{});
}
aarch64_decode_rc sve_ucvtf_s2s_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                    aarch64_z_reg zn) {
    return convert<uint32_t>(s, zd, pg, zn, FromInteger<uint32_t, true, true>{});
}
aarch64_decode_rc sve_ucvtf_s2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                    aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, FromInteger<uint64_t, true, true>{});
}
aarch64_decode_rc sve_ucvtf_d2d_zpz(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                                    aarch64_z_reg zn) {
    return convert<uint64_t>(s, zd, pg, zn, FromInteger<uint64_t, true, false>{});
}
