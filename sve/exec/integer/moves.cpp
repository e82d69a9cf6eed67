// Broadcasts and index vectors at the process's vector length: DUP from a general register
// or an immediate, INDEX with immediate or register base and step.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

namespace {

using ostrel::kMaxVectorBytes;

// Element i of the result is value(i) truncated to T; the result replaces Zd whole.
template <typename T, typename Fn> void fill_elements(cpu_state *s, uint32_t zd, Fn value) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    ostrel::for_each_element<T>(vl_bytes, [&](unsigned i) {
        const T e = static_cast<T>(value(i));
        std::memcpy(result + i * sizeof(T), &e, sizeof(T));
    });
    ostrel::copy_vector(s->z[zd], result, vl_bytes);
}

// The same for the element size of a destination descriptor (size codes 0..3).
template <typename Fn>
aarch64_decode_rc fill_by_size(cpu_state *s, const aarch64_z_reg &zd, Fn value) {
    switch (ostrel::plain_type(zd)) {
    case 0:
        fill_elements<uint8_t>(s, zd.num, value);
        return DECODE_OK;
    case 1:
        fill_elements<uint16_t>(s, zd.num, value);
        return DECODE_OK;
    case 2:
        fill_elements<uint32_t>(s, zd.num, value);
        return DECODE_OK;
    case 3:
        fill_elements<uint64_t>(s, zd.num, value);
        return DECODE_OK;
    default:
        return DECODE_UNIMPLEMENTED;
    }
}

// base + i * step modulo 2^64; the truncation to the element keeps it modulo 2^esize.
aarch64_decode_rc index(cpu_state *s, const aarch64_z_reg &zd, uint64_t base, uint64_t step) {
    return fill_by_size(s, zd, [=](unsigned i) { return base + i * step; });
}

uint64_t sign_extended(int imm) {
    return static_cast<uint64_t>(static_cast<int64_t>(imm));
}

} // namespace

aarch64_decode_rc sve_dup_zr(cpu_state *s, aarch64_z_reg zd, aarch64_i_rsp_reg rn) {
    const uint64_t v = ostrel::read_gpr_or_sp(*s, rn);
    return fill_by_size(s, zd, [=](unsigned) { return v; });
}

aarch64_decode_rc sve_dup_zi(cpu_state *s, aarch64_z_reg zd, int imm) {
    const uint64_t v = sign_extended(imm);
    return fill_by_size(s, zd, [=](unsigned) { return v; });
}

aarch64_decode_rc sve_index_zii(cpu_state *s, aarch64_z_reg zd, int base, int step) {
    return index(s, zd, sign_extended(base), sign_extended(step));
}

aarch64_decode_rc sve_index_zir(cpu_state *s, aarch64_z_reg zd, int base, aarch64_i_reg rm) {
    return index(s, zd, sign_extended(base), ostrel::read_gpr(*s, rm));
}

aarch64_decode_rc sve_index_zri(cpu_state *s, aarch64_z_reg zd, aarch64_i_reg rn, int step) {
    return index(s, zd, ostrel::read_gpr(*s, rn), sign_extended(step));
}

aarch64_decode_rc sve_index_zrr(cpu_state *s, aarch64_z_reg zd, aarch64_i_reg rn,
                                aarch64_i_reg rm) {
    return index(s, zd, ostrel::read_gpr(*s, rn), ostrel::read_gpr(*s, rm));
}
