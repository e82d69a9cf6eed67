// ZIP, UZP, TRN, REV, TBL and EXT at the process's vector length.
#include <cstring>

#include "sve/decode/forms.h"
#include "sve/exec/integer/element_loops.h"
#include "sve/exec/integer/permute_blocks.h"
#include "sve/exec/integer/permute_bodies.h"
#include "sve/exec/integer/permute_elements.h"

namespace {

using ostrel::kMaxVectorBytes;
using ostrel::plain_type;
namespace permute = ostrel::permute;

// Runs body(result, T{}) for the element type of a size code and copies the result over Zd, so
// a source that is also the destination is read with its old value.
template <typename Body> void into_register(uint8_t *zd, uint32_t size, Body body) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    ostrel::integer::with_element_type(size, [&](auto t) { body(result, t); });
    ostrel::copy_vector(zd, result, vl_bytes);
}

template <typename T> unsigned count() {
    return ostrel::integer::element_count<T>();
}

// fill(out, T{}) writes the whole result to out, which must not overlap its sources: Zd itself
// when it is neither source, otherwise a temporary copied over Zd afterwards.
template <typename Fill>
void into_distinct(uint8_t *zd, uint32_t size, const uint8_t *src1, const uint8_t *src2,
                   Fill fill) {
    if (zd != src1 && zd != src2) {
        ostrel::integer::with_element_type(size, [&](auto t) { fill(zd, t); });
        return;
    }
    into_register(zd, size, fill);
}

using ZipLoop = void(uint8_t *, const uint8_t *, const uint8_t *, std::size_t, bool);

// When Zd is also a source: the result goes through a temporary. Kept apart so that the usual
// case does not set up the temporary's frame.
void zip_through_temporary(ZipLoop *loop, uint8_t *zd, const uint8_t *zn, const uint8_t *zm,
                           bool high) {
    const unsigned bytes = ostrel::vector_bytes();
    uint8_t result[kMaxVectorBytes];
    loop(result, zn, zm, bytes, high);
    ostrel::copy_vector(zd, result, bytes);
}

// The block loop of the element size, by pointer: taken through with_element_type the four
// loops and the temporary would land in one closure call, paid before it is known that no
// temporary is needed.
void zip_into(uint8_t *zd, const uint8_t *zn, const uint8_t *zm, uint32_t size, bool high) {
    static ZipLoop *const kLoops[] = {permute::zip_blocks<uint8_t>, permute::zip_blocks<uint16_t>,
                                      permute::zip_blocks<uint32_t>, permute::zip_blocks<uint64_t>};
    ZipLoop *const loop = kLoops[size <= 3 ? size : 0];
    if (zd == zn || zd == zm) return zip_through_temporary(loop, zd, zn, zm, high);
    loop(zd, zn, zm, ostrel::vector_bytes(), high);
}

aarch64_decode_rc zip(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm,
                      bool high) {
    zip_into(s->z[zd.num], s->z[zn.num], s->z[zm.num], plain_type(zd), high);
    return DECODE_OK;
}

aarch64_decode_rc uzp(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm,
                      unsigned odd) {
    into_register(s->z[zd.num], plain_type(zd), [&](uint8_t *r, auto t) {
        using T = decltype(t);
        permute::uzp<T>(r, s->z[zn.num], s->z[zm.num], count<T>(), odd);
    });
    return DECODE_OK;
}

aarch64_decode_rc trn(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm,
                      unsigned odd) {
    into_register(s->z[zd.num], plain_type(zd), [&](uint8_t *r, auto t) {
        using T = decltype(t);
        permute::trn<T>(r, s->z[zn.num], s->z[zm.num], count<T>(), odd);
    });
    return DECODE_OK;
}

} // namespace

void sve_zip1(uint8_t *dst, const uint8_t *src1, const uint8_t *src2, uint32_t size) {
    zip_into(dst, src1, src2, size, false);
}

void sve_zip2(uint8_t *dst, const uint8_t *src1, const uint8_t *src2, uint32_t size) {
    zip_into(dst, src1, src2, size, true);
}

void sve_uzp1(uint8_t *dst, const uint8_t *src1, const uint8_t *src2, uint32_t size) {
    into_register(dst, size, [&](uint8_t *r, auto t) {
        using T = decltype(t);
        permute::uzp<T>(r, src1, src2, count<T>(), 0);
    });
}

aarch64_decode_rc sve_zip1_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return zip(s, zd, zn, zm, false);
}
aarch64_decode_rc sve_zip2_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return zip(s, zd, zn, zm, true);
}
aarch64_decode_rc sve_uzp1_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return uzp(s, zd, zn, zm, 0);
}
aarch64_decode_rc sve_uzp2_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return uzp(s, zd, zn, zm, 1);
}
aarch64_decode_rc sve_trn1_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return trn(s, zd, zn, zm, 0);
}
aarch64_decode_rc sve_trn2_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    return trn(s, zd, zn, zm, 1);
}

aarch64_decode_rc sve_rev_zz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn) {
    into_register(s->z[zd.num], plain_type(zd), [&](uint8_t *r, auto t) {
        using T = decltype(t);
        permute::reverse<T>(r, s->z[zn.num], count<T>());
    });
    return DECODE_OK;
}

aarch64_decode_rc sve_tbl_zzz(cpu_state *s, aarch64_z_reg zd, aarch64_z_reg zn, aarch64_z_reg zm) {
    const uint8_t *table = s->z[zn.num], *index = s->z[zm.num];
    into_distinct(s->z[zd.num], plain_type(zd), table, index, [&](uint8_t *out, auto t) {
        permute::table_lookup_blocks<decltype(t)>(out, table, index, ostrel::vector_bytes());
    });
    return DECODE_OK;
}

// Bytes imm .. imm + VL - 1 of Zdn (low) : Zm (high). An offset past the vector selects nothing
// new: Zdn keeps its value.
aarch64_decode_rc sve_ext_zzi(cpu_state *s, aarch64_z_reg zdn, aarch64_z_reg zm, unsigned int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    if (imm >= vl_bytes) return DECODE_OK;
    uint8_t result[kMaxVectorBytes];
    std::memcpy(result, s->z[zdn.num] + imm, vl_bytes - imm);
    std::memcpy(result + (vl_bytes - imm), s->z[zm.num], imm);
    ostrel::copy_vector(s->z[zdn.num], result, vl_bytes);
    return DECODE_OK;
}
