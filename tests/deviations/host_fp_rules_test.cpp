// The host route's floating-point rules where they differ from the reference, hand-computed: FMAX
// hands back a NaN operand as it is (Zdn's first), the FMAX and FMAXNM/FMINNM equal-values rules
// return an operand's own bits where FZ has compared it as zero (FMAXNMV's tree too), and a
// 32-bit FCVTZS result is zero-extended into its 64-bit element. Every element of z0 starts as
// `dn` and of z1 as `m` (the first `split` elements of z1 as `m`, the rest as `m_rest`), P0 is all
// true, FPSR starts clear; the result element and FPSR are checked.
#include <gtest/gtest.h>

#include "tests/support/register_file.h"

using namespace ostrel::testing;

namespace {

constexpr uint32_t kFz = 1u << 24, kDn = 1u << 25;
constexpr uint32_t kIoc = 1, kIdc = 0x80;

struct HostRuleCase {
    const char *what;
    uint32_t encoding;
    unsigned esize; // bytes of z0's and z1's elements
    uint32_t fpcr;
    uint64_t dn, m, m_rest;
    unsigned split;
    bool reduction; // the result is element 0 of z0, the rest of z0 zero
    uint64_t result;
    uint32_t fpsr;
};

constexpr unsigned kAll = 192;
constexpr uint32_t kFmaxS = 0x65868020;     // fmax z0.s, p0/m, z0.s, z1.s
constexpr uint32_t kFmaxD = 0x65c68020;     // fmax z0.d, p0/m, z0.d, z1.d
constexpr uint32_t kFmaxnmD = 0x65c48020;   // fmaxnm z0.d, p0/m, z0.d, z1.d
constexpr uint32_t kFminnmS = 0x65858020;   // fminnm z0.s, p0/m, z0.s, z1.s
constexpr uint32_t kFmaxnmvS = 0x65842020;  // fmaxnmv s0, p0, z1.s
constexpr uint32_t kFcvtzsD2S = 0x65d8a020; // fcvtzs z0.s, p0/m, z1.d

const HostRuleCase kCases[] = {
    {"FMAX keeps a signalling NaN in Zdn signalling", kFmaxS, 4, 0, 0x7f800001, 0x3f800000, 0, kAll,
     false, 0x7f800001, kIoc},
    {"FMAX returns a NaN in Zdn under DN", kFmaxS, 4, kDn, 0xffc12345, 0x3f800000, 0, kAll, false,
     0xffc12345, 0},
    {"FMAX does not look at Zm when Zdn is a quiet NaN", kFmaxS, 4, 0, 0x7fc00001, 0x7f800002, 0,
     kAll, false, 0x7fc00001, 0},
    {"FMAX returns a signalling NaN in Zm as it is", kFmaxD, 8, 0, 0x3ff0000000000000,
     0x7ff0000000000001, 0, kAll, false, 0x7ff0000000000001, kIoc},
    {"FMAX under FZ returns a denormal Zdn larger than Zm", kFmaxS, 4, kFz, 0x00000005, 0xbf800000,
     0, kAll, false, 0x00000005, kIdc},
    {"FMAXNM under FZ: a denormal equal to +0 comes back", kFmaxnmD, 8, kFz, 0x3, 0, 0, kAll, false,
     0x3, kIdc},
    {"FMINNM under FZ: a negative denormal equal to +0 comes back", kFminnmS, 4, kFz, 0x80000007, 0,
     0, kAll, false, 0x80000007, kIdc},
    {"FMAXNMV under FZ: denormals meet zeros only by the equal-values rule", kFmaxnmvS, 4, kFz, 0,
     0x00000001, 0, 32, true, 0x00000001, kIdc},
    {"FCVTZS double to 32 bits zero-extends a negative result", kFcvtzsD2S, 8, 0, 0,
     0xbff0000000000000, 0, kAll, false, 0x00000000ffffffff, 0},
};

// The application's FPCR: the emulated mirror, and on AArch64 the register that the host route
// computes under.
class ApplicationFpcr {
  public:
    ApplicationFpcr(cpu_state &s, uint32_t fpcr) {
        s.fpcr = fpcr;
#if defined(__aarch64__)
        __asm__ volatile("mrs %0, fpcr" : "=r"(saved_));
        const uint64_t v = fpcr;
        __asm__ volatile("msr fpcr, %0" : : "r"(v));
#endif
    }
    ~ApplicationFpcr() {
#if defined(__aarch64__)
        __asm__ volatile("msr fpcr, %0" : : "r"(saved_));
#endif
    }

  private:
    [[maybe_unused]] uint64_t saved_ = 0;
};

class HostRules : public ::testing::TestWithParam<HostRuleCase> {};

TEST_P(HostRules, GiveTheHostRoutesResult) {
    const HostRuleCase &c = GetParam();
    auto s = random_state(c.encoding);
    fill_z_elements(*s, 0, c.esize, c.dn);
    for (unsigned i = 0; i < kBytes / c.esize; ++i)
        set_z_element(*s, 1, c.esize, i, i < c.split ? c.m : c.m_rest);
    for (auto &b : s->p[0])
        b = 1;
    s->fpsr = 0;
    {
        ApplicationFpcr fpcr(*s, c.fpcr);
        ASSERT_EQ(emulate(*s, c.encoding), DECODE_OK);
    }
    EXPECT_EQ(z_element(*s, 0, c.esize, 0), c.result);
    for (unsigned i = 1; i < kBytes / c.esize; ++i)
        EXPECT_EQ(z_element(*s, 0, c.esize, i), c.reduction ? 0 : c.result) << "element " << i;
    EXPECT_EQ(s->fpsr, c.fpsr);
}

INSTANTIATE_TEST_SUITE_P(All, HostRules, ::testing::ValuesIn(kCases));

} // namespace
