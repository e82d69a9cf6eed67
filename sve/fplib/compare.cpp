// The compare predicates and the NZCV compare. Equality and unordered signal only on signalling
// NaNs; the ordered compares signal on any NaN.
#include "sve/fplib/fp_instantiate.h"
#include "sve/fplib/fp_unpack.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

template <class T>
bool equal_after_unpack(T op1, T op2, const FPUnpacked<T> &a, const FPUnpacked<T> &b) {
    return op1 == op2 || (a.is_zero() && b.is_zero());
}

// op1 > op2 (or >= with or_equal) for two ordered operands.
template <class T>
bool ordered_greater(const FPUnpacked<T> &a, const FPUnpacked<T> &b, bool or_equal) {
    if (a.is_zero() && b.is_zero()) return or_equal;
    if (a.sign != b.sign) return b.sign;
    if (a.exp != b.exp) return (a.exp > b.exp) != static_cast<bool>(a.sign);
    if (a.mnt != b.mnt) return (a.mnt > b.mnt) != static_cast<bool>(a.sign);
    return or_equal;
}

template <class T> bool compare_ordered(T op1, T op2, bool or_equal, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    const FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    bool result = false;
    if (Fmt::is_nan(op1) || Fmt::is_nan(op2)) {
        flags |= FPSCR_IOC;
    } else {
        result = ordered_greater(a, b, or_equal);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

} // namespace

template <class T> bool FPCompareEQ(T op1, T op2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    const FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    bool result = false;
    if (Fmt::is_nan(op1) || Fmt::is_nan(op2)) {
        if (Fmt::is_signalling(op1) || Fmt::is_signalling(op2)) flags |= FPSCR_IOC;
    } else {
        result = equal_after_unpack(op1, op2, a, b);
    }
    fp_merge_flags(fpscr, flags);
    return result;
}

template <class T> bool FPCompareUN(T op1, T op2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    fp_unpack(op1, mode, &flags);
    fp_unpack(op2, mode, &flags);
    const bool result = Fmt::is_nan(op1) || Fmt::is_nan(op2);
    if (Fmt::is_signalling(op1) || Fmt::is_signalling(op2)) flags |= FPSCR_IOC;
    fp_merge_flags(fpscr, flags);
    return result;
}

template <class T> bool FPCompareGE(T op1, T op2, FPSCR &fpscr) {
    return compare_ordered(op1, op2, true, fpscr);
}
template <class T> bool FPCompareGT(T op1, T op2, FPSCR &fpscr) {
    return compare_ordered(op1, op2, false, fpscr);
}

template <class T> int FPCompare(T op1, T op2, bool signal_nans, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const int mode = fp_mode_word(fpscr);
    int flags = 0;
    const FPUnpacked<T> a = fp_unpack(op1, mode, &flags);
    const FPUnpacked<T> b = fp_unpack(op2, mode, &flags);
    int nzcv;
    if (Fmt::is_nan(op1) || Fmt::is_nan(op2)) {
        nzcv = 3;
        if (signal_nans || Fmt::is_signalling(op1) || Fmt::is_signalling(op2)) flags |= FPSCR_IOC;
    } else if (equal_after_unpack(op1, op2, a, b)) {
        nzcv = 6;
    } else {
        nzcv = ordered_greater(a, b, false) ? 2 : 8;
    }
    fp_merge_flags(fpscr, flags);
    return nzcv;
}

#define INSTANTIATE(T)                                                                             \
    template bool FPCompareEQ<T>(T, T, FPSCR &);                                                   \
    template bool FPCompareGE<T>(T, T, FPSCR &);                                                   \
    template bool FPCompareGT<T>(T, T, FPSCR &);                                                   \
    template bool FPCompareUN<T>(T, T, FPSCR &);                                                   \
    template int FPCompare<T>(T, T, bool, FPSCR &);
FPLIB_INSTANTIATE_3(INSTANTIATE)

} // namespace ostrel::fplib
