// ADR on packed doublewords (Zd.D = Zn.D + Zm.D << msz) at the process's vector length.
#include "sve/exec/memory/address_generation.h"

#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

aarch64_decode_rc sve_adr_scaled_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn,
                                     aarch64_z_reg zm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    using namespace ostrel;
    // One executor serves the four scales; the shift is the msz field (bits 11..10) of the
    // encoding being emulated.
    const unsigned shift = static_cast<unsigned>(s->encoding >> 10) & 3u;
    uint8_t result[kMaxVectorBytes];
    for (unsigned i = 0; i < vl_bytes / 8; ++i) {
        uint64_t base, offset;
        std::memcpy(&base, s->z[zn.num] + i * 8, 8);
        std::memcpy(&offset, s->z[zm.num] + i * 8, 8);
        const uint64_t address = memory::adr_element<memory::AdrOffset::whole>(base, offset, shift);
        std::memcpy(result + i * 8, &address, 8);
    }
    ostrel::copy_vector(s->z[zd.num], result, vl_bytes);
    return DECODE_OK;
}
