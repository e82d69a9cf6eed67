// CPY (immediate, general register, SIMD&FP scalar) and DUP (indexed) at the process's vector
// length: one value copied into the active elements, or one element into all of them.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/element_loops.h"

namespace {

using ostrel::plain_type;
using ostrel::integer::element_active;
using ostrel::integer::load_element;
using ostrel::integer::store_element;

// Active elements of Zd = value truncated to the element size; inactive elements 0 or kept.
aarch64_decode_rc copy_to_active(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, uint64_t value) {
    const bool zeroing = plain_type(pg) == ostrel::kPredZeroing;
    const uint8_t *pred = s->p[pg.num];
    const unsigned bytes = ostrel::vector_bytes();
    uint8_t result[ostrel::kMaxVectorBytes];
    ostrel::integer::with_element_type(plain_type(zd), [&](auto t) {
        using T = decltype(t);
        ostrel::for_each_element<T>(bytes, [&](unsigned i) {
            const T v = element_active<T>(pred, i) ? static_cast<T>(value)
                        : zeroing                  ? T{0}
                                                   : load_element<T>(s->z[zd.num], i);
            store_element<T>(result, i, v);
        });
    });
    ostrel::copy_vector(s->z[zd.num], result, bytes);
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_cpy_zpi(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, int imm) {
    return copy_to_active(s, zd, pg, static_cast<uint64_t>(static_cast<int64_t>(imm)));
}

aarch64_decode_rc sve_cpy_zpr(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg,
                              aarch64_i_rsp_reg rn) {
    return copy_to_active(s, zd, pg, ostrel::read_gpr_or_sp(*s, rn));
}

// The scalar is the low element of Zn, whatever Zn's other bytes hold.
aarch64_decode_rc sve_cpy_zpv(cpu_state *s, aarch64_z_reg zd, aarch64_p_reg pg, unsigned int vn) {
    uint64_t value = 0;
    std::memcpy(&value, s->z[vn], 8);
    return copy_to_active(s, zd, pg, value);
}

// Element `index` of Zn (of 2^size bytes, size up to 4 for quadwords) in every element of Zd; an
// index past the vector gives zeros.
aarch64_decode_rc sve_dup_zzi(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn,
                              unsigned int index) {
    const uint32_t size = plain_type(zd);
    if (size > 4) return DECODE_UNIMPLEMENTED;
    const unsigned bytes = 1u << size, vector = ostrel::vector_bytes();
    uint8_t result[ostrel::kMaxVectorBytes] = {};
    if (index < vector / bytes)
        for (unsigned at = 0; at < vector; at += bytes)
            std::memcpy(result + at, s->z[zn.num] + index * bytes, bytes);
    std::memcpy(s->z[zd.num], result, vector);
    return DECODE_OK;
}
