// FDUP Zd, #imm: every element the immediate's pattern for its size (half, single or double).
#include "sve/decode/forms.h"
#include "sve/exec/fp/fp_loops.h"

using namespace ostrel;

aarch64_decode_rc sve_fdup_zi(cpu_state *s, aarch64_z_reg zd, aarch64_sve_fp_dup_imm imm) {
    const uint32_t size = plain_type(zd);
    const uint64_t pattern = decode::fp_dup_pattern(imm, size);
    integer::with_element_type(size, [&](auto t) {
        using T = decltype(t);
        fp::compute_all<T>(*s, zd.num, [&](unsigned) { return static_cast<T>(pattern); });
    });
    return DECODE_OK;
}
