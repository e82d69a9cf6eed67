// LASTB to a general or SIMD&FP register and CLASTB to a general register at the process's
// vector length.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/permute_elements.h"

namespace {

using ostrel::kMaxVectorBytes;
using ostrel::plain_type;
namespace permute = ostrel::permute;

// Calls pick(last, T{}) with the last active element of Zn (or -1) for the element type of Zn's
// descriptor; returns what pick returns.
template <typename Pick>
uint64_t with_last_active(const cpu_state &s, aarch64_p_reg pg, aarch64_z_reg zn, Pick pick) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint64_t value = 0;
    ostrel::integer::with_element_type(plain_type(zn), [&](auto t) {
        using T = decltype(t);
        const uint8_t *pred = s.p[pg.num];
        const int last = permute::last_active(vl_bytes / sizeof(T), [&](unsigned i) {
            return ostrel::integer::element_active<T>(pred, i);
        });
        value = pick(last, t);
    });
    return value;
}

// LASTB's element: the last active one, or the top element when none is active.
uint64_t lastb_element(const cpu_state &s, aarch64_p_reg pg, aarch64_z_reg zn) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    return with_last_active(s, pg, zn, [&](int last, auto t) {
        using T = decltype(t);
        const unsigned at = permute::last_or_top(last, vl_bytes / sizeof(T));
        return uint64_t{permute::get<T>(s.z[zn.num], at)};
    });
}

} // namespace

// Rd's type code is the element size: W for B, H and S elements (zero-extended), X for D.
aarch64_decode_rc sve_lastb_rpz(cpu_state *s, aarch64_i_reg rd, aarch64_p_reg pg,
                                aarch64_z_reg zn) {
    const uint64_t v = lastb_element(*s, pg, zn);
    ostrel::write_gpr(*s, rd.num, ostrel::kGprX, v);
    return DECODE_OK;
}

// Vd is written whole: the element at the bottom, zeros above it.
aarch64_decode_rc sve_lastb_vpz(cpu_state *s, unsigned int vd, aarch64_p_reg pg, aarch64_z_reg zn) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    const uint64_t v = lastb_element(*s, pg, zn);
    uint8_t result[kMaxVectorBytes] = {};
    std::memcpy(result, &v, 1u << plain_type(zn));
    ostrel::copy_vector(s->z[vd], result, vl_bytes);
    return DECODE_OK;
}

// With no active element Rdn keeps only its low esize bits.
aarch64_decode_rc sve_clastb_rpz(cpu_state *s, aarch64_i_reg rdn, aarch64_p_reg pg,
                                 aarch64_z_reg zn) {
    const uint64_t old = ostrel::read_gpr(*s, rdn, true);
    const uint64_t v = with_last_active(*s, pg, zn, [&](int last, auto t) {
        using T = decltype(t);
        return last < 0 ? uint64_t{static_cast<T>(old)}
                        : uint64_t{permute::get<T>(s->z[zn.num], static_cast<unsigned>(last))};
    });
    ostrel::write_gpr(*s, rdn, v, true);
    return DECODE_OK;
}
