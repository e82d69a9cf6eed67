// FPScale: multiplication by a power of two with one rounding, the scale clamped to a range that
// already reaches beyond both ends of the format.
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_round.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

#include <algorithm>

namespace ostrel::fplib {

namespace {

template <class T> T fp_scale(T op, int64_t scale, int64_t limit, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> u = fp_unpack(op, mode, &flags);
    T result;
    if (Fmt::is_nan(op)) {
        result = fp_process_nan(op, mode, &flags);
    } else if (u.is_zero()) {
        result = Fmt::zero(u.sign);
    } else if (u.is_special()) {
        result = op;
    } else {
        const int clamped = static_cast<int>(std::clamp<int64_t>(scale, -limit, limit));
        result = fp_round_integer<T>(u.sign, u.exp - Fmt::F + clamped, u.mnt, mode & FPLIB_RM_MASK,
                                     mode, &flags);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace

uint16_t FPScale16(uint16_t op, int16_t scale, FPSCR &fpscr) {
    return fp_scale<uint16_t>(op, scale, 60, fpscr);
}
uint32_t FPScale32(uint32_t op, int32_t scale, FPSCR &fpscr) {
    return fp_scale<uint32_t>(op, scale, 300, fpscr);
}
uint64_t FPScale64(uint64_t op, int64_t scale, FPSCR &fpscr) {
    return fp_scale<uint64_t>(op, scale, 3000, fpscr);
}

} // namespace ostrel::fplib
