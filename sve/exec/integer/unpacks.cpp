// UUNPKLO/UUNPKHI at every width and SUNPKLO/SUNPKHI from words to doublewords at the process's
// vector length: half of Zn's narrow elements widened into Zd.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/permute_elements.h"
#include "sve/exec/vector_blocks.h"

namespace {

using ostrel::kMaxVectorBytes;

template <typename Wide, typename Narrow>
aarch64_decode_rc unpack(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, bool high) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    ostrel::permute::unpack<Wide, Narrow>(result, s->z[zn.num], vl_bytes / sizeof(Wide), high);
    ostrel::copy_vector(s->z[zd.num], result, vl_bytes);
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_uunpklo_b2h_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<uint16_t, uint8_t>(s, zd, zn, false);
}
aarch64_decode_rc sve_uunpkhi_b2h_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<uint16_t, uint8_t>(s, zd, zn, true);
}
aarch64_decode_rc sve_uunpklo_h2s_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<uint32_t, uint16_t>(s, zd, zn, false);
}
aarch64_decode_rc sve_uunpkhi_h2s_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<uint32_t, uint16_t>(s, zd, zn, true);
}
aarch64_decode_rc sve_uunpklo_s2d_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<uint64_t, uint32_t>(s, zd, zn, false);
}
aarch64_decode_rc sve_uunpkhi_s2d_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<uint64_t, uint32_t>(s, zd, zn, true);
}
aarch64_decode_rc sve_sunpklo_s2d_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<int64_t, int32_t>(s, zd, zn, false);
}
aarch64_decode_rc sve_sunpkhi_s2d_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    return unpack<int64_t, int32_t>(s, zd, zn, true);
}
