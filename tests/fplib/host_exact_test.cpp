// The host-arithmetic fast paths of single and double FPAdd and FPSqrt: where they answer, the
// bits and the inexact flag must be the software rounding's, and they must answer for the
// ordinary operands they exist for.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "sve/fplib/add_sub.h"
#include "sve/fplib/host_exact.h"

namespace ostrel::fplib {
namespace {

// A random normal value with its exponent within `spread` of the format's middle.
template <class T> T random_normal(std::mt19937_64 &rng, int spread) {
    using Fmt = FPFormat<T>;
    const int exponent = Fmt::bias + static_cast<int>(rng() % (2 * spread + 1)) - spread;
    return static_cast<T>((T(rng() & 1) << (Fmt::width - 1)) | (T(exponent) << Fmt::F) |
                          (static_cast<T>(rng()) & Fmt::frac_mask));
}

// The software sum of two normals, the larger magnitude leading.
template <class T> T software_sum(T a, T b, int mode, int *flags) {
    using Fmt = FPFormat<T>;
    const bool b_leads = Fmt::abs(b) > Fmt::abs(a);
    return detail::fp_add_ordered<T>(fp_unpack_normal(b_leads ? b : a),
                                     fp_unpack_normal(b_leads ? a : b), mode, flags);
}

template <class T> void check_add(int spread, int min_answered_percent) {
    std::mt19937_64 rng(spread);
    const int cases = 20000;
    int answered = 0;
    for (int i = 0; i < cases; ++i) {
        const T a = random_normal<T>(rng, spread), b = random_normal<T>(rng, spread);
        T fast = 0;
        int fast_flags = 0, soft_flags = 0;
        if (!detail::host_add<T>(a, b, FPRounding_TIEEVEN, &fast, &fast_flags)) continue;
        ++answered;
        const T soft = software_sum<T>(a, b, FPRounding_TIEEVEN, &soft_flags);
        ASSERT_EQ(fast, soft) << std::hex << a << " + " << b;
        ASSERT_EQ(fast_flags, soft_flags) << std::hex << a << " + " << b;
    }
    EXPECT_GE(answered * 100, cases * min_answered_percent) << "spread " << spread;
}

TEST(HostAdd, BitsAndInexactAsTheSoftwareSum) {
    if (!detail::kHostArithmeticUsable) GTEST_SKIP() << "this host computes in software only";
    // Close exponents (cancellation, exact sums), wide ones (one operand below the other's
    // rounding bit), and the whole range (results near the ends, which must be declined).
    struct Case {
        int spread, min_answered_percent;
    } const single_cases[] = {{2, 90}, {30, 90}, {126, 40}},
            double_cases[] = {{2, 90}, {60, 90}, {1022, 40}};
    for (const Case &c : single_cases)
        check_add<uint32_t>(c.spread, c.min_answered_percent);
    for (const Case &c : double_cases)
        check_add<uint64_t>(c.spread, c.min_answered_percent);
}

// Half sums through double: the same bits and inexact flag as the software sum, over random
// normal pairs of every exponent, and they are answered for ordinary operands.
TEST(HostAddHalf, BitsAndInexactAsTheSoftwareSum) {
    if (!detail::kHostArithmeticUsable) GTEST_SKIP() << "this host computes in software only";
    std::mt19937_64 rng(17);
    int answered = 0, inexact = 0;
    const int cases = 200000;
    for (int i = 0; i < cases; ++i) {
        const uint16_t a = random_normal<uint16_t>(rng, 14), b = random_normal<uint16_t>(rng, 14);
        uint16_t fast = 0;
        int fast_flags = 0, soft_flags = 0;
        if (!detail::host_add_half(a, b, FPRounding_TIEEVEN, &fast, &fast_flags)) continue;
        ++answered;
        inexact += fast_flags != 0;
        const uint16_t soft = software_sum<uint16_t>(a, b, FPRounding_TIEEVEN, &soft_flags);
        ASSERT_EQ(fast, soft) << std::hex << a << " + " << b;
        ASSERT_EQ(fast_flags, soft_flags) << std::hex << a << " + " << b;
    }
    EXPECT_GE(answered * 100, cases * 60);
    EXPECT_GT(inexact, 0);
    EXPECT_LT(inexact, answered);
}

TEST(HostAdd, DeclinesOtherRoundingModesAndSpecialOperands) {
    using Fmt = FPFormat<uint64_t>;
    const uint64_t one = Fmt::one, tiny = 1, inf = Fmt::infinity, nan = Fmt::default_nan;
    uint64_t r = 0;
    int flags = 0;
    for (int mode : {FPRounding_POSINF, FPRounding_NEGINF, FPRounding_ZERO})
        EXPECT_FALSE(detail::host_add<uint64_t>(one, one + 1, mode, &r, &flags)) << mode;
    for (uint64_t other : {tiny, inf, nan})
        EXPECT_FALSE(detail::host_add<uint64_t>(one, other, FPRounding_TIEEVEN, &r, &flags));
    // A normal plus a zero is the normal in any mode, with no flag.
    for (int mode : {FPRounding_TIEEVEN, FPRounding_NEGINF, FPRounding_ZERO}) {
        ASSERT_TRUE(detail::host_add<uint64_t>(Fmt::sign_bit, one, mode, &r, &flags));
        EXPECT_EQ(r, one);
    }
    EXPECT_EQ(flags, 0);
}

// Correct rounding of a double root, in integers: with op = A x 2^ea and root = R x 2^er, the
// root is correctly rounded when (2R - 1)^2 < 4A x 2^(ea - 2er) < (2R + 1)^2, and exact when the
// middle term is (2R)^2.
TEST(HostSqrt, RootsAreCorrectlyRoundedAndInexactIsExact) {
    if (!detail::kHostArithmeticUsable) GTEST_SKIP() << "this host computes in software only";
    using Fmt = FPFormat<uint64_t>;
    using u128 = unsigned __int128;
    std::mt19937_64 rng(5);
    int answered = 0, exact = 0;
    for (int i = 0; i < 20000; ++i) {
        uint64_t op = Fmt::abs(random_normal<uint64_t>(rng, 1000));
        // Every fourth case a perfect square of a short significand.
        if (i % 4 == 0) {
            const double root = static_cast<double>(rng() % 100000 + 1) * 0x1p-8;
            const double square = root * root;
            std::memcpy(&op, &square, sizeof op);
        }
        uint64_t root = 0;
        int flags = 0;
        if (!detail::host_sqrt<uint64_t>(op, FPRounding_TIEEVEN, &root, &flags)) continue;
        ++answered;
        const u128 A = (op & Fmt::frac_mask) | Fmt::implicit_bit;
        const u128 R = (root & Fmt::frac_mask) | Fmt::implicit_bit;
        const int ea = static_cast<int>(op >> Fmt::F), er = static_cast<int>(root >> Fmt::F);
        const int shift = 2 + (ea - 1075) - 2 * (er - 1075);
        ASSERT_GE(shift, 0) << std::hex << op;
        const u128 middle = A << shift;
        ASSERT_LT((2 * R - 1) * (2 * R - 1), middle) << std::hex << op;
        ASSERT_GT((2 * R + 1) * (2 * R + 1), middle) << std::hex << op;
        const bool is_exact = (2 * R) * (2 * R) == middle;
        exact += is_exact;
        ASSERT_EQ(flags, is_exact ? 0 : FPSCR_IXC) << std::hex << op;
    }
    EXPECT_GT(answered, 18000);
    EXPECT_GT(exact, 1000);
}

} // namespace
} // namespace ostrel::fplib
