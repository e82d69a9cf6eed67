// Properties of the generated cases: they test the row they were made for, they are the same
// for the same seed, and they reach the boundary values; and the traits read from the rows.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/oracle/oracle_test_rows.h"
#include "tests/support/vector_length_scope.h"
#include "tools/oracle/case_generator.h"
#include "tools/oracle/row_traits.h"

namespace ostrel::oracle {
namespace {

using ostrel::testing::ScopedVectorLength;
using testing::row_named;

TEST(CaseGenerator, KeepsTheFixedBitsAndLandsOnItsRow) {
    for (const DecodeRow &row : kDecodeRows) {
        unsigned own_row = 0;
        uint32_t varied = 0; // bits outside the key that took both values
        uint32_t first = 0;
        for (uint32_t k = 0; k < 8; ++k) {
            const uint32_t e = generate_case(row, 42, k).header.encoding;
            ASSERT_EQ(e & row.fixed_mask(), row.fixed_bits()) << row.name;
            own_row += find_decode_row(e) == &row;
            if (k == 0) first = e;
            varied |= e ^ first;
        }
        EXPECT_EQ(varied & row.fixed_mask(), 0u) << row.name;
        EXPECT_GT(own_row, 0u) << row.name << ": no case the lookup gives to this row";
        if (row.fixed_mask() != 0xffffffffu) {
            EXPECT_NE(varied, 0u) << row.name << ": nothing random";
        }
    }
}

bool same_case(const Case &a, const Case &b) {
    return std::memcmp(&a.header, &b.header, sizeof a.header) == 0 && a.memory == b.memory;
}

TEST(CaseGenerator, IsDeterministicBySeed) {
    for (const char *name : {"VecU16AddVVM", "VecU64CLoad8LSSZ", "VecD64AddVVM"}) {
        const DecodeRow &row = row_named(name);
        EXPECT_TRUE(same_case(generate_case(row, 9, 3), generate_case(row, 9, 3))) << name;
        EXPECT_FALSE(same_case(generate_case(row, 9, 3), generate_case(row, 10, 3))) << name;
        EXPECT_FALSE(same_case(generate_case(row, 9, 3), generate_case(row, 9, 4))) << name;
    }
}

TEST(CaseGenerator, RecordsAreWellFormed) {
    for (const char *name : {"VecU16AddVVM", "VecU64CLoad8LSSZ", "VecPFillSI"}) {
        const DecodeRow &row = row_named(name);
        const Case c = generate_case(row, 1, 0);
        EXPECT_EQ(c.header.magic, kCaseMagic);
        const bool memory = row_traits(row).memory;
        EXPECT_EQ(c.header.memory_bytes, memory ? kWindowBytes : 0u) << name;
        EXPECT_EQ(c.memory.size(), c.header.memory_bytes) << name;
    }
}

// Over many cases the registers take the values that matter: zero, all ones, NaNs.
TEST(CaseGenerator, ReachesBoundaryValues) {
    const DecodeRow &row = row_named("VecF32AddVVM");
    bool zero = false, ones = false, nan = false, sign_min = false, all_true = false;
    for (uint32_t k = 0; k < 20; ++k) {
        const Case c = generate_case(row, 5, k);
        for (const auto &z : c.header.state.z)
            for (unsigned i = 0; i < vector_bytes(); i += 4) {
                uint32_t v;
                std::memcpy(&v, z + i, 4);
                zero |= v == 0;
                ones |= v == 0xffffffffu;
                sign_min |= v == 0x80000000u;
                nan |= (v & 0x7f800000u) == 0x7f800000u && (v & 0x7fffffu) != 0;
            }
        for (const auto &p : c.header.state.p) {
            bool all = true;
            for (unsigned i = 0; i < vector_bytes(); ++i)
                all = all && packed_bit(p, i);
            all_true |= all;
        }
    }
    EXPECT_TRUE(zero && ones && nan && sign_min && all_true);
}

TEST(RowTraits, ReadsTheAddressShapeFromTheFamily) {
    const struct {
        const char *row;
        BaseKind base;
        OffsetKind offset;
        ExtendKind extend;
        unsigned msize, registers;
    } table[] = {
        {"VecU8CLoad1LSSZ", BaseKind::scalar, OffsetKind::scalar, ExtendKind::none, 1, 1},
        {"VecU16E4Load2SIZ", BaseKind::scalar, OffsetKind::immediate, ExtendKind::none, 2, 4},
        {"VecU64Load8VIZ", BaseKind::vector, OffsetKind::immediate, ExtendKind::none, 8, 1},
        {"VecS64Load4XVSZ", BaseKind::scalar, OffsetKind::vector, ExtendKind::sxtw, 4, 1},
        {"VecU64Load4YSVZ", BaseKind::scalar, OffsetKind::vector, ExtendKind::uxtw, 4, 1},
        {"VecU64Load8SVZ", BaseKind::scalar, OffsetKind::vector, ExtendKind::none, 8, 1},
        {"VecS32Load1VSZ", BaseKind::scalar, OffsetKind::vector, ExtendKind::uxtw, 1, 1},
        {"VecU64LEA2XVV", BaseKind::vector, OffsetKind::vector, ExtendKind::sxtw, 2, 1},
        {"VecU32Prefetch4VI", BaseKind::vector, OffsetKind::immediate, ExtendKind::none, 4, 1},
        {"VecU8LoadDup1QSSZ", BaseKind::scalar, OffsetKind::scalar, ExtendKind::none, 1, 1},
        {"VecPFillSI", BaseKind::scalar, OffsetKind::immediate, ExtendKind::none, 1, 1},
    };
    for (const auto &t : table) {
        const RowTraits r = row_traits(row_named(t.row));
        EXPECT_TRUE(r.memory) << t.row;
        EXPECT_EQ(r.base, t.base) << t.row;
        EXPECT_EQ(r.offset, t.offset) << t.row;
        EXPECT_EQ(r.extend, t.extend) << t.row;
        EXPECT_EQ(r.memory_element_bytes, t.msize) << t.row;
        EXPECT_EQ(r.registers, t.registers) << t.row;
    }
    for (const char *name : {"VecU16AddVVM", "VecF32AddVVM", "VecPClearFFSR"})
        EXPECT_FALSE(row_traits(row_named(name)).memory) << name;
    EXPECT_EQ(row_traits(row_named("VecU16AddVVM")).element_bytes, 2u);
    EXPECT_TRUE(row_traits(row_named("VecF32AddVVM")).floating_point);
    EXPECT_EQ(row_traits(row_named("VecU128ExtDupVI")).element_bytes, 16u);
}

// Fills and spills move whole registers: a Z register's bytes, or one bit per byte for P.
TEST(RowTraits, FillsMoveOneRegisterOfTheLength) {
    for (unsigned bits : {128u, 1536u, 2048u}) {
        const ScopedVectorLength length(bits);
        EXPECT_EQ(row_traits(row_named("VecPFillSI")).fill_bytes, bits / 64) << bits;
        EXPECT_EQ(row_traits(row_named("VecU64FillSI")).fill_bytes, bits / 8) << bits;
    }
}

// A case records the length it was made at, and nothing of it lies past that length.
TEST(CaseGenerator, StaysWithinItsLength) {
    for (unsigned bits : {128u, 512u, 2048u}) {
        const ScopedVectorLength length(bits);
        const unsigned bytes = bits / 8;
        for (const char *name : {"VecU16AddVVM", "VecF32AddVVM", "VecPClearFFSR"}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(bits));
            for (uint32_t k = 0; k < 4; ++k) {
                const Case c = generate_case(row_named(name), 9, k);
                EXPECT_EQ(c.header.vector_bits, bits);
                bool inside = false, outside = false;
                for (const auto &z : c.header.state.z)
                    for (unsigned i = 0; i < kStateVectorBytes; ++i)
                        (i < bytes ? inside : outside) |= z[i] != 0;
                for (const auto &p : c.header.state.p)
                    for (unsigned i = bytes; i < kStateVectorBytes; ++i)
                        outside |= packed_bit(p, i);
                for (unsigned i = bytes; i < kStateVectorBytes; ++i)
                    outside |= packed_bit(c.header.state.ffr, i);
                EXPECT_TRUE(inside);
                EXPECT_FALSE(outside);
            }
        }
    }
}

// Structure accesses with an immediate (LDn/STn [Xn, #imm, MUL VL]) move n registers from
// Xn + imm x n x VL: all of it must land inside the window at the longest length too.
TEST(CaseGenerator, StructureAccessesStayInsideTheWindow) {
    for (unsigned bits : {1536u, 2048u}) {
        const ScopedVectorLength length(bits);
        unsigned rows_seen = 0;
        for (const DecodeRow &row : kDecodeRows) {
            const RowTraits t = row_traits(row);
            if (!t.memory || t.registers < 2 || t.base != BaseKind::scalar ||
                t.offset != OffsetKind::immediate)
                continue;
            ++rows_seen;
            for (uint32_t k = 0; k < 16; ++k) {
                const Case c = generate_case(row, 7, k);
                const uint32_t e = c.header.encoding;
                const unsigned n = (e >> 5) & 31;
                const int64_t imm = static_cast<int32_t>(((e >> 16) & 15) << 28) >> 28;
                const uint64_t transfer = uint64_t{t.registers} * (bits / 8);
                const uint64_t base = n == 31 ? c.header.state.sp : c.header.state.x[n];
                const uint64_t start = base + static_cast<uint64_t>(imm) * transfer;
                EXPECT_GE(start, kWindowAddress) << row.name << " at " << bits;
                EXPECT_LE(start + transfer, kWindowAddress + kWindowBytes)
                    << row.name << " at " << bits;
            }
        }
        EXPECT_GT(rows_seen, 0u);
    }
}

} // namespace
} // namespace ostrel::oracle
