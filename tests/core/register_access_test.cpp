// General registers through descriptors: the zero register, the stack pointer and the W view.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "sve/client/cpu_state.h"

using namespace ostrel;

namespace {

cpu_state filled_state() {
    cpu_state s;
    std::memset(&s, 0, sizeof s);
    for (unsigned i = 0; i < kNumXRegs; ++i)
        s.x[i] = 0x1111111100000000ull * (i + 1) + 0x80000000u + i;
    s.sp = 0x0000fffff0001000ull;
    return s;
}

TEST(RegisterAccess, ZeroRegisterReadsZeroAndDropsWrites) {
    cpu_state s = filled_state();
    const cpu_state before = s;
    for (uint32_t type : {kGprW, kGprX}) {
        EXPECT_EQ(read_gpr(s, plain_operand<aarch64_i_reg>(31, type)), 0u);
        write_gpr(s, plain_operand<aarch64_i_reg>(31, type), 0xdeadbeefcafef00dull);
        write_gpr(s, read_write_operand<aarch64_i_reg>(31, type), 0x1234, true);
    }
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

TEST(RegisterAccess, StackPointerFormReadsAndWritesSp) {
    cpu_state s = filled_state();
    EXPECT_EQ(read_gpr_or_sp(s, aarch64_i_rsp_reg{31, kGprX}), s.sp);
    EXPECT_NE(read_gpr_or_sp(s, aarch64_i_rsp_reg{31, kGprX}), s.x[30]);
    EXPECT_EQ(read_gpr_or_sp(s, aarch64_i_rsp_reg{31, kGprW}), 0xf0001000u);
    const uint64_t x30 = s.x[30];
    write_gpr_or_sp(s, aarch64_i_rsp_reg{31, kGprX}, 0x7000);
    EXPECT_EQ(s.sp, 0x7000u);
    EXPECT_EQ(s.x[30], x30);
    EXPECT_EQ(read_gpr_or_sp(s, aarch64_i_rsp_reg{5, kGprX}), s.x[5]);
}

TEST(RegisterAccess, ViewsTruncateReadsAndZeroExtendWrites) {
    struct Case {
        uint32_t num, type;
        uint64_t write, reads_back;
    };
    const Case cases[] = {
        {0, kGprX, 0xffffffff00000001ull, 0xffffffff00000001ull},
        {0, kGprW, 0xffffffff00000001ull, 0x00000001ull},
        {17, kGprW, 0x80000000ull, 0x80000000ull},
        {30, kGprX, 0x8000000000000000ull, 0x8000000000000000ull},
    };
    for (const Case &c : cases) {
        cpu_state s = filled_state();
        EXPECT_EQ(read_gpr(s, c.num, c.type),
                  c.type == kGprW ? s.x[c.num] & 0xffffffffu : s.x[c.num]);
        write_gpr(s, c.num, c.type, c.write);
        EXPECT_EQ(s.x[c.num], c.reads_back) << c.num;
    }
}

TEST(OperandDescriptors, PackingsPlaceTypeAndClass) {
    const auto zd = plain_operand<aarch64_z_reg>(3, 1);
    const auto zdn = read_write_operand<aarch64_z_reg>(3, 1);
    EXPECT_EQ((std::array<uint32_t, 4>{zd.num, zd.f1, zd.f2, zd.f3}),
              (std::array<uint32_t, 4>{3, 1, 5, 5}));
    EXPECT_EQ((std::array<uint32_t, 4>{zdn.num, zdn.f1, zdn.f2, zdn.f3}),
              (std::array<uint32_t, 4>{3, 5, 1, 1}));
    const auto pg = plain_operand<aarch64_p_reg>(2, kPredMerging);
    EXPECT_EQ((std::array<uint32_t, 4>{pg.num, pg.f1, pg.f2, pg.f3}),
              (std::array<uint32_t, 4>{2, 4, 7, 7}));
    const auto rdn = read_write_operand<aarch64_i_reg>(9, kGprX);
    EXPECT_EQ((std::array<uint32_t, 4>{rdn.num, rdn.f1, rdn.f2, rdn.f3}),
              (std::array<uint32_t, 4>{9, 4, 3, 3}));
    EXPECT_EQ(plain_type(zd), 1u);
    EXPECT_EQ(read_write_type(zdn), 1u);
    EXPECT_EQ(read_write_type(rdn), kGprX);
}

} // namespace
