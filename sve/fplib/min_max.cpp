// FPMax, FPMin and the number-preferring FPMaxNum and FPMinNum.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_nan.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

template <class T> T fp_max_min(T op1, T op2, bool is_max, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    const FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    T result;
    if (!fp_process_nans(op1, op2, mode, &flags, &result)) {
        bool take_first;
        if (a.sign != b.sign) {
            take_first = is_max ? b.sign : a.sign;
        } else {
            const bool first_larger_pattern = is_max ? op1 > op2 : op1 < op2;
            take_first = first_larger_pattern != static_cast<bool>(a.sign);
        }
        const FPUnpacked<T> &chosen = take_first ? a : b;
        // Repacked: a flushed denormal comes back as a zero of its sign.
        result = chosen.is_zero() ? Fmt::zero(chosen.sign) : (take_first ? op1 : op2);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

// A lone quiet NaN gives way to the infinity that can never be chosen over the other operand.
template <class T> void replace_lone_quiet_nan(T &op1, T &op2, T replacement) {
    using Fmt = FPFormat<T>;
    const bool quiet1 = Fmt::is_quiet(op1), quiet2 = Fmt::is_quiet(op2);
    if (quiet1 && !quiet2) op1 = replacement;
    if (quiet2 && !quiet1) op2 = replacement;
}

} // namespace

template <class T> T FPMax(T op1, T op2, FPSCR &fpscr) {
    return fp_max_min(op1, op2, true, fpscr);
}
template <class T> T FPMin(T op1, T op2, FPSCR &fpscr) {
    return fp_max_min(op1, op2, false, fpscr);
}
template <class T> T FPMaxNum(T op1, T op2, FPSCR &fpscr) {
    replace_lone_quiet_nan(op1, op2, FPFormat<T>::inf(1));
    return fp_max_min(op1, op2, true, fpscr);
}
template <class T> T FPMinNum(T op1, T op2, FPSCR &fpscr) {
    replace_lone_quiet_nan(op1, op2, FPFormat<T>::inf(0));
    return fp_max_min(op1, op2, false, fpscr);
}

#define INSTANTIATE(T)                                                                             \
    template T FPMax<T>(T, T, FPSCR &);                                                            \
    template T FPMin<T>(T, T, FPSCR &);                                                            \
    template T FPMaxNum<T>(T, T, FPSCR &);                                                         \
    template T FPMinNum<T>(T, T, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
