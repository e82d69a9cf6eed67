// Integer reductions to a SIMD&FP scalar at the process's vector length: UADDV, SMAXV,
// UMAXV, SMINV, UMINV, ANDV, ORV, EORV. (SADDV runs on the kernel road.)
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/reduce_elements.h"

namespace {

using namespace ostrel;
using namespace ostrel::integer;

// Folds the elements of Zn, an inactive one as the fold's identity (every fold here is
// associative and commutative, so that gives the fold of the active ones without a branch), then
// rewrites the whole Z register Vd: the result in its low result_bytes, zeros above.
template <typename Fold, typename T>
void reduce_into(cpu_state &s, unsigned vd, uint32_t pg, uint32_t zn, unsigned result_bytes) {
    const uint8_t *src = s.z[zn], *pred = s.p[pg];
    uint64_t acc = Fold::kIdentity;
    const unsigned bytes = vector_bytes();
    for_each_element<T>(bytes, [&](unsigned i) {
        acc = Fold::apply(acc, blend(active_mask<T>(pred, i), load_element<T>(src, i),
                                     static_cast<T>(Fold::kIdentity)));
    });
    uint8_t *dst = s.z[vd];
    fill_vector(dst, 0, bytes);
    std::memcpy(dst, &acc, result_bytes);
}

// Rows of every element size share one executor; Zn's descriptor carries the size.
template <template <typename> class Fold>
aarch64_decode_rc reduce(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn,
                         bool wide_result) {
    with_element_type(plain_type(zn), [&](auto t) {
        using T = decltype(t);
        reduce_into<Fold<T>, T>(*s, vd, pg.num, zn.num, wide_result ? 8 : sizeof(T));
    });
    return DECODE_OK;
}

template <typename T> using SMaxFold = MaxFold<T, kSigned>;
template <typename T> using UMaxFold = MaxFold<T, kUnsigned>;
template <typename T> using SMinFold = MinFold<T, kSigned>;
template <typename T> using UMinFold = MinFold<T, kUnsigned>;

} // namespace

aarch64_decode_rc sve_uaddv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<UnsignedAddFold>(s, vd, pg, zn, true);
}
aarch64_decode_rc sve_smaxv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<SMaxFold>(s, vd, pg, zn, false);
}
aarch64_decode_rc sve_umaxv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<UMaxFold>(s, vd, pg, zn, false);
}
aarch64_decode_rc sve_sminv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<SMinFold>(s, vd, pg, zn, false);
}
aarch64_decode_rc sve_uminv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<UMinFold>(s, vd, pg, zn, false);
}
aarch64_decode_rc sve_andv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<AndFold>(s, vd, pg, zn, false);
}
aarch64_decode_rc sve_orv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<OrFold>(s, vd, pg, zn, false);
}
aarch64_decode_rc sve_eorv_vpz(cpu_state *s, unsigned vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    return reduce<XorFold>(s, vd, pg, zn, false);
}
