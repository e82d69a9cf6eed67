// The host floating-point unit of a host that is not AArch64: the soft-float library under the
// emulated FPCR's RMode, FZ and DN (FZ16 and AHP play no part in single and double scalar
// instructions). Included through host_float.h.
#pragma once

#include <cstdint>

#include "sve/decode/host_fpsr.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fp {

class HostFpu {
  public:
    explicit HostFpu(const cpu_state &s) : HostFpu(s.fpcr) {}
    explicit HostFpu(uint32_t fpcr) : fpscr_(fpcr & kControls) {}
    ~HostFpu() { raise_host_fpsr_flags(fpscr_ & fplib::FPSCR_FLAG_MASK); }
    HostFpu(const HostFpu &) = delete;
    HostFpu &operator=(const HostFpu &) = delete;

    template <class T> T add(T a, T b) { return fplib::FPAdd(a, b, fpscr_); }
    template <class T> T sub(T a, T b) { return fplib::FPSub(a, b, fpscr_); }
    template <class T> T mul(T a, T b) { return fplib::FPMul(a, b, fpscr_); }
    template <class T> T div(T a, T b) { return fplib::FPDiv(a, b, fpscr_); }
    // a + n x m rounded once (FMADD).
    template <class T> T muladd(T n, T m, T a) { return fplib::FPMulAdd(a, n, m, fpscr_); }
    template <class T> T sqrt(T a) { return fplib::FPSqrt(a, fpscr_); }
    template <class T> T max_num(T a, T b) { return fplib::FPMaxNum(a, b, fpscr_); }
    template <class T> T min_num(T a, T b) { return fplib::FPMinNum(a, b, fpscr_); }
    template <class T> T round_ties_away(T a) {
        return fplib::FPRoundInt(a, fplib::FPRounding_TIEAWAY, false, fpscr_);
    }
    template <class T> T recip_estimate(T a) { return fplib::FPRecipEstimate(a, fpscr_); }
    template <class T> T recip_step(T a, T b) { return fplib::FPRecipStepFused(a, b, fpscr_); }

    // The block forms: the scalar operation on every lane.
    template <class T> Lanes<T> add_lanes(Lanes<T> a, Lanes<T> b) {
        return each_lane<T>([&](unsigned j) { return add(a[j], b[j]); });
    }
    template <class T> Lanes<T> sub_lanes(Lanes<T> a, Lanes<T> b) {
        return each_lane<T>([&](unsigned j) { return sub(a[j], b[j]); });
    }
    template <class T> Lanes<T> mul_lanes(Lanes<T> a, Lanes<T> b) {
        return each_lane<T>([&](unsigned j) { return mul(a[j], b[j]); });
    }
    template <class T> Lanes<T> div_lanes(Lanes<T> a, Lanes<T> b) {
        return each_lane<T>([&](unsigned j) { return div(a[j], b[j]); });
    }
    template <class T> Lanes<T> recip_step_lanes(Lanes<T> a, Lanes<T> b) {
        return each_lane<T>([&](unsigned j) { return recip_step(a[j], b[j]); });
    }
    // FADDP: the sums of adjacent lanes of a, then of b, the lower lane the first operand.
    template <class T> Lanes<T> pairwise_add_lanes(Lanes<T> a, Lanes<T> b) {
        return each_lane<T>([&](unsigned j) {
            const Lanes<T> &from = j < kLaneCount<T> / 2 ? a : b;
            const unsigned first = 2 * (j % (kLaneCount<T> / 2));
            return add(from[first], from[first + 1]);
        });
    }
    template <class T> Lanes<T> muladd_lanes(Lanes<T> n, Lanes<T> m, Lanes<T> a) {
        return each_lane<T>([&](unsigned j) { return muladd(n[j], m[j], a[j]); });
    }
    template <class T> Lanes<T> sqrt_lanes(Lanes<T> a) {
        return each_lane<T>([&](unsigned j) { return sqrt(a[j]); });
    }
    template <class T> Lanes<T> round_ties_away_lanes(Lanes<T> a) {
        return each_lane<T>([&](unsigned j) { return round_ties_away(a[j]); });
    }
    template <class T> Lanes<T> recip_estimate_lanes(Lanes<T> a) {
        return each_lane<T>([&](unsigned j) { return recip_estimate(a[j]); });
    }
    // FCVT of the double in each lane to a single zero-extended in the lane, and of the single in
    // each lane's low half to a double.
    Lanes<uint64_t> narrow_lanes(Lanes<uint64_t> a) {
        return each_lane<uint64_t>(
            [&](unsigned j) { return uint64_t{convert<uint64_t, uint32_t>(a[j])}; });
    }
    Lanes<uint64_t> widen_lanes(Lanes<uint64_t> a) {
        return each_lane<uint64_t>(
            [&](unsigned j) { return convert<uint32_t, uint64_t>(static_cast<uint32_t>(a[j])); });
    }

    // FCMP (quiet: IOC only for a signalling NaN) and FCMPE (IOC for any NaN).
    template <class T> bool equal(T a, T b) { return fplib::FPCompareEQ(a, b, fpscr_); }
    template <class T> bool unordered(T a, T b) { return fplib::FPCompareUN(a, b, fpscr_); }
    template <class T> bool greater_equal(T a, T b) { return fplib::FPCompareGE(a, b, fpscr_); }
    template <class T> bool greater(T a, T b) { return fplib::FPCompareGT(a, b, fpscr_); }

    // FCVT between single and double.
    template <class From, class To> To convert(From a) {
        return fplib::FPConvert<From, To>(a, fplib::fp_rounding(fpscr_), fpscr_);
    }
    // FCVTZS, FCVTZU: toward zero, saturating, a NaN gives 0.
    template <class From, class To> To to_integer(From a, bool is_unsigned) {
        return fplib::fplibFPToFixed<From, To>(a, 0, is_unsigned, fplib::FPRounding_ZERO, fpscr_);
    }
    // SCVTF, UCVTF of a 32- or 64-bit integer, held sign- or zero-extended in 64 bits.
    template <class To> To from_integer(uint64_t a, bool is_unsigned) {
        return fplib::fplibFixedToFP<To>(a, 0, is_unsigned, fplib::fp_rounding(fpscr_), fpscr_);
    }

  private:
    template <class T, class Lane> static Lanes<T> each_lane(Lane lane) {
        Lanes<T> r;
        for (unsigned j = 0; j < kLaneCount<T>; ++j)
            r[j] = lane(j);
        return r;
    }

    static constexpr uint32_t kControls =
        fplib::FPSCR_FZ | fplib::FPSCR_DN | (3u << fplib::FPSCR_RMODE_SHIFT);
    fplib::FPSCR fpscr_;
};

} // namespace ostrel::fp
