// FSQRT calls the math library for each active negative operand (not -0, not a NaN) for its
// domain-error report alone: errno is EDOM after such an instruction and untouched otherwise,
// also when the destination is the source, whose operands the block loop has overwritten by then.
// The oracle compares registers and flags, never errno.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>

#include "sve/client/vector_length.h"
#include "tests/support/register_file.h"

using namespace ostrel;
using ostrel::testing::random_state;

namespace {

constexpr uint32_t kSqrtDoubleZ0FromZ1 = 0x65cda020; // fsqrt z0.d, p0/m, z1.d
constexpr uint32_t kSqrtDoubleZ1FromZ1 = 0x65cda021; // fsqrt z1.d, p0/m, z1.d
constexpr uint32_t kSqrtSingleZ0FromZ1 = 0x658da020; // fsqrt z0.s, p0/m, z1.s

struct Case {
    const char *name;
    uint32_t encoding;
    unsigned element_bytes;
    uint64_t operand; // element 5 of Z1; every other element is +4.0
    bool active;      // element 5's predicate bit; every other element is active
    bool reports;
};

constexpr uint64_t kDoubleFour = 0x4010000000000000ull, kSingleFour = 0x40800000u;

const Case kCases[] = {
    {"-1.0", kSqrtDoubleZ0FromZ1, 8, 0xbff0000000000000ull, true, true},
    {"-infinity", kSqrtDoubleZ0FromZ1, 8, 0xfff0000000000000ull, true, true},
    {"negative denormal", kSqrtDoubleZ0FromZ1, 8, 0x8000000000000001ull, true, true},
    {"-1.0, destination is the source", kSqrtDoubleZ1FromZ1, 8, 0xbff0000000000000ull, true, true},
    {"-1.0 single", kSqrtSingleZ0FromZ1, 4, 0xbf800000u, true, true},
    {"-0", kSqrtDoubleZ0FromZ1, 8, 0x8000000000000000ull, true, false},
    {"negative quiet NaN", kSqrtDoubleZ0FromZ1, 8, 0xfff8000000000000ull, true, false},
    {"negative NaN single", kSqrtSingleZ0FromZ1, 4, 0xffc00001u, true, false},
    {"-1.0 inactive", kSqrtDoubleZ0FromZ1, 8, 0xbff0000000000000ull, false, false},
    {"+4.0", kSqrtDoubleZ0FromZ1, 8, kDoubleFour, true, false},
};

TEST(SqrtDomainReport, ErrnoIsEdomExactlyWhenAnActiveOperandIsNegative) {
    for (const Case &c : kCases) {
        auto s = random_state(7);
        const unsigned bytes = vector_bytes();
        ostrel::testing::fill_z_elements(*s, 1, c.element_bytes,
                                         c.element_bytes == 8 ? kDoubleFour : kSingleFour);
        ostrel::testing::set_z_element(*s, 1, c.element_bytes, 5, c.operand);
        for (unsigned i = 0; i < bytes; ++i)
            s->p[0][i] = i % c.element_bytes == 0 ? 1 : 0;
        s->p[0][5 * c.element_bytes] = c.active ? 1 : 0;
        errno = 0;
        ASSERT_EQ(ostrel::testing::emulate(*s, c.encoding), DECODE_OK) << c.name;
        EXPECT_EQ(errno, c.reports ? EDOM : 0) << c.name;
    }
}

} // namespace
