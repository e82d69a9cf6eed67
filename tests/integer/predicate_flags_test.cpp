// PredTest eight predicate bytes at a time and the closed-form WHILE count, each against the
// element-by-element definition it replaces, at every vector length and element size.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "sve/exec/integer/pred_flags.h"
#include "sve/exec/integer/while_loops.h"
#include "sve/kernels/vec_value.h"

namespace ostrel {
namespace {

// PredTest as the architecture states it: one element at a time, bit 0 of its first byte.
uint32_t pred_test_by_element(const uint8_t *mask, const uint8_t *result, unsigned bytes,
                              unsigned step) {
    bool any_active = false, first = false, any_set = false, last = false;
    for (unsigned i = 0; i < bytes; i += step) {
        if (!(mask[i] & 1)) continue;
        const bool bit = result[i] & 1;
        if (!any_active) first = bit;
        any_active = true;
        any_set = any_set || bit;
        last = bit;
    }
    return pred_test_flags(any_active, first, any_set, last);
}

uint32_t pred_test_words(const uint8_t *mask, const uint8_t *result, unsigned bytes,
                         unsigned step) {
    switch (step) {
    case 1:
        return pred_test_bytes<uint8_t>(mask, result, bytes);
    case 2:
        return pred_test_bytes<uint16_t>(mask, result, bytes);
    case 4:
        return pred_test_bytes<uint32_t>(mask, result, bytes);
    default:
        return pred_test_bytes<uint64_t>(mask, result, bytes);
    }
}

// Predicate bytes of one shape: random bytes (upper bits too, which must be ignored), with a
// chance of all zero, all one, a single element, or only the non-first bytes of elements set.
enum class Shape { random_bytes, none, all, single, only_upper_bytes, sparse };

void fill(std::mt19937_64 &rng, Shape shape, unsigned bytes, unsigned step, uint8_t *p) {
    for (unsigned i = 0; i < kMaxVectorBytes; ++i)
        p[i] = 0;
    for (unsigned i = 0; i < bytes; ++i) {
        switch (shape) {
        case Shape::random_bytes:
            p[i] = static_cast<uint8_t>(rng());
            break;
        case Shape::all:
            p[i] = 1;
            break;
        case Shape::only_upper_bytes:
            p[i] = (i % step) ? 1 : static_cast<uint8_t>(rng() & 0xfe);
            break;
        case Shape::sparse:
            p[i] = (rng() % 29 == 0) ? 1 : 0;
            break;
        case Shape::none:
        case Shape::single:
            break;
        }
    }
    if (shape == Shape::single) p[(rng() % (bytes / step)) * step] = 1;
}

TEST(PredTestBytes, MatchesTheElementDefinitionAtEveryLengthAndSize) {
    const Shape shapes[] = {Shape::random_bytes,     Shape::none,  Shape::all, Shape::single,
                            Shape::only_upper_bytes, Shape::sparse};
    std::mt19937_64 rng(7);
    alignas(8) uint8_t mask[kMaxVectorBytes], result[kMaxVectorBytes];
    int checked = 0;
    for (unsigned bytes = 16; bytes <= kMaxVectorBytes; bytes += 16)
        for (unsigned step : {1u, 2u, 4u, 8u})
            for (Shape mask_shape : shapes)
                for (Shape result_shape : shapes)
                    for (int round = 0; round < 3; ++round) {
                        fill(rng, mask_shape, bytes, step, mask);
                        fill(rng, result_shape, bytes, step, result);
                        ASSERT_EQ(pred_test_words(mask, result, bytes, step),
                                  pred_test_by_element(mask, result, bytes, step))
                            << bytes << " bytes, step " << step << ", shapes "
                            << static_cast<int>(mask_shape) << "/"
                            << static_cast<int>(result_shape);
                        ++checked;
                    }
    EXPECT_GT(checked, 0);
}

// The WHILE count as the architecture's loop computes it: Rn + i against Rm, Rn wrapping at its
// width.
template <typename T, bool Inclusive> uint32_t while_count_by_loop(T rn, T rm, uint32_t elements) {
    using U = std::make_unsigned_t<T>;
    uint32_t count = 0;
    for (T value = rn; count < elements; ++count) {
        if (!(Inclusive ? value <= rm : value < rm)) break;
        value = static_cast<T>(static_cast<U>(value) + 1u);
    }
    return count;
}

template <typename T> void check_while_counts() {
    using L = std::numeric_limits<T>;
    const T lo = L::min(), hi = L::max();
    // Pairs around every boundary: equal, one apart, the distance at the element count, the
    // extremes of the type, and wrapping.
    const T values[] = {lo,
                        static_cast<T>(lo + 1),
                        static_cast<T>(-1),
                        0,
                        1,
                        2,
                        47,
                        48,
                        49,
                        255,
                        256,
                        static_cast<T>(hi - 300),
                        static_cast<T>(hi - 48),
                        static_cast<T>(hi - 1),
                        hi};
    for (uint32_t elements : {2u, 16u, 48u, 256u})
        for (T rn : values)
            for (T rm : values)
                for (T delta :
                     {T(0), T(1), static_cast<T>(elements - 1), static_cast<T>(elements)}) {
                    const T near = static_cast<T>(rm - delta);
                    EXPECT_EQ((while_true_count<T, false>(near, rm, elements)),
                              (while_count_by_loop<T, false>(near, rm, elements)))
                        << "exclusive " << +near << " " << +rm << " of " << elements;
                    EXPECT_EQ((while_true_count<T, true>(near, rm, elements)),
                              (while_count_by_loop<T, true>(near, rm, elements)))
                        << "inclusive " << +near << " " << +rm << " of " << elements;
                    EXPECT_EQ((while_true_count<T, true>(rn, rm, elements)),
                              (while_count_by_loop<T, true>(rn, rm, elements)))
                        << "inclusive " << +rn << " " << +rm << " of " << elements;
                    EXPECT_EQ((while_true_count<T, false>(rn, rm, elements)),
                              (while_count_by_loop<T, false>(rn, rm, elements)))
                        << "exclusive " << +rn << " " << +rm << " of " << elements;
                }
}

TEST(WhileTrueCount, ClosedFormMatchesTheIncrementLoop) {
    check_while_counts<int32_t>();
    check_while_counts<uint32_t>();
    check_while_counts<int64_t>();
    check_while_counts<uint64_t>();
}

// Bytes to bits and back eight at a time, against one bit at a time; the upper bits of each
// byte are noise that must not count, and bits past the length stay clear.
TEST(PredicatePacking, MatchesOneBitAtATimeAtEveryLength) {
    const Shape shapes[] = {Shape::random_bytes, Shape::none, Shape::all, Shape::single,
                            Shape::only_upper_bytes};
    std::mt19937_64 rng(13);
    alignas(8) uint8_t bytes[kMaxVectorBytes], back[kMaxVectorBytes];
    for (unsigned count = 16; count <= kMaxVectorBytes; count += 16)
        for (Shape shape : shapes) {
            fill(rng, shape, count, 1, bytes);
            const PredV packed = pack_predicate_bytes(bytes, count);
            for (unsigned i = 0; i < 256; ++i)
                ASSERT_EQ(packed.bit(i), i < count && (bytes[i] & 1)) << count << " bit " << i;
            std::memset(back, 0xee, sizeof back);
            unpack_predicate_bits(packed, count, back);
            for (unsigned i = 0; i < kMaxVectorBytes; ++i)
                ASSERT_EQ(back[i], i < count ? (bytes[i] & 1) : 0xee) << count << " byte " << i;
        }
}

} // namespace
} // namespace ostrel
