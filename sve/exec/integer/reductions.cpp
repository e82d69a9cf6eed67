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
// rewrites the whole Z register Vd: the result in its low result_bytes, zeros above. Each lane
// of a block keeps its own accumulator, so the blocks fold in vector instructions; the lanes'
// accumulators merge at the end.
template <typename Fold, typename T>
void reduce_into(cpu_state &s, unsigned vd, uint32_t pg, uint32_t zn, unsigned result_bytes) {
    const uint8_t *src = s.z[zn], *pred = s.p[pg];
    const T identity = static_cast<T>(Fold::kIdentity);
    constexpr unsigned kLanes = BlockLanes<T>::kCount;
    uint64_t lane_acc[kLanes];
    for (unsigned j = 0; j < kLanes; ++j)
        lane_acc[j] = Fold::kIdentity;
    const unsigned bytes = vector_bytes();
    for_each_block(bytes, [&](std::size_t at) {
        const BlockLanes<T> values = load_block<T>(src + at), mask = active_lanes<T>(pred + at);
        for (unsigned j = 0; j < kLanes; ++j)
            lane_acc[j] = Fold::apply(lane_acc[j], blend(mask.lane[j], values.lane[j], identity));
    });
    uint64_t acc = lane_acc[0];
    for (unsigned j = 1; j < kLanes; ++j)
        acc = Fold::merge(acc, lane_acc[j]);
    if (result_bytes < sizeof(acc)) acc &= (uint64_t{1} << (8 * result_bytes)) - 1;
    const uint64_t low_block[2] = {acc, 0};
    uint8_t *dst = s.z[vd];
    std::memcpy(dst, low_block, sizeof(low_block));
    fill_vector(dst + kVectorBlockBytes, 0, bytes - kVectorBlockBytes);
}

// UADDV: the sum of the active elements, zero-extended, modulo 2^64. Pairs of lanes add into
// lanes twice as wide, which no length can overflow (at most 32 elements meet in one lane); 64-bit
// elements add in their own lanes.
template <typename T> void sum_into(cpu_state &s, unsigned vd, uint32_t pg, uint32_t zn) {
    const uint8_t *src = s.z[zn], *pred = s.p[pg];
    const unsigned bytes = vector_bytes();
    uint64_t sum = 0;
    if constexpr (sizeof(T) == 8) {
        BlockLanes<uint64_t> sums{};
        for_each_block(bytes, [&](std::size_t at) {
            const BlockLanes<T> values = load_block<T>(src + at), mask = active_lanes<T>(pred + at);
            for (unsigned j = 0; j < sums.kCount; ++j)
                sums.lane[j] += values.lane[j] & mask.lane[j];
        });
        sum = sums.lane[0] + sums.lane[1];
    } else {
        BlockLanes<Wider<T>> sums{};
        for_each_block(bytes, [&](std::size_t at) {
            const BlockLanes<T> values = load_block<T>(src + at), mask = active_lanes<T>(pred + at);
            BlockLanes<T> active;
            for (unsigned j = 0; j < active.kCount; ++j)
                active.lane[j] = static_cast<T>(values.lane[j] & mask.lane[j]);
            add_lane_pairs(sums, active);
        });
        for (unsigned j = 0; j < sums.kCount; ++j)
            sum += sums.lane[j];
    }
    const uint64_t low_block[2] = {sum, 0};
    uint8_t *dst = s.z[vd];
    std::memcpy(dst, low_block, sizeof(low_block));
    fill_vector(dst + kVectorBlockBytes, 0, bytes - kVectorBlockBytes);
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
    with_element_type(plain_type(zn),
                      [&](auto t) { sum_into<decltype(t)>(*s, vd, pg.num, zn.num); });
    return DECODE_OK;
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
