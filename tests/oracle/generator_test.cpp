// Properties of the generated cases: they test the row they were made for, they are the same
// for the same seed, and memory cases address only the window.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/oracle/oracle_test_rows.h"
#include "tools/oracle/case_generator.h"
#include "tools/oracle/row_traits.h"

namespace ostrel::oracle {
namespace {

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
            for (unsigned i = 0; i < kVectorBytes; i += 4) {
                uint32_t v;
                std::memcpy(&v, z + i, 4);
                zero |= v == 0;
                ones |= v == 0xffffffffu;
                sign_min |= v == 0x80000000u;
                nan |= (v & 0x7f800000u) == 0x7f800000u && (v & 0x7fffffu) != 0;
            }
        for (const auto &p : c.header.state.p) {
            bool all = true;
            for (unsigned i = 0; i < kVectorBytes; ++i)
                all = all && packed_bit(p, i);
            all_true |= all;
        }
    }
    EXPECT_TRUE(zero && ones && nan && sign_min && all_true);
}

// ---- Memory addresses, computed from each row's own encoding layout ----

uint64_t element(const uint8_t *z, unsigned index, unsigned bytes) {
    uint64_t v = 0;
    std::memcpy(&v, z + index * bytes, bytes);
    return v;
}
int64_t sign_extend(uint64_t v, unsigned bits) {
    return static_cast<int64_t>(v << (64 - bits)) >> (64 - bits);
}
unsigned bits(uint32_t e, unsigned hi, unsigned lo) {
    return (e >> lo) & ((1u << (hi - lo + 1)) - 1);
}
unsigned log2_of(unsigned v) {
    return v == 1 ? 0 : v == 2 ? 1 : v == 4 ? 2 : 3;
}

struct Access {
    uint64_t address, bytes;
};

uint64_t scalar_base(const ArchState &s, uint32_t e) {
    const unsigned n = bits(e, 9, 5);
    return n == 31 ? s.sp : s.x[n];
}

using AddressRule = std::function<std::vector<Access>(const ArchState &, uint32_t)>;

// Xn + (Xm << msize): `count` elements of msize bytes (several registers for structures).
AddressRule scalar_plus_scalar(unsigned msize, unsigned count) {
    return [=](const ArchState &s, uint32_t e) {
        const unsigned m = bits(e, 20, 16);
        const uint64_t offset = (m == 31 ? 0 : s.x[m]) << log2_of(msize);
        return std::vector<Access>{{scalar_base(s, e) + offset, uint64_t{count} * msize}};
    };
}
// Xn + simm4 * (registers * vector's worth of memory elements).
AddressRule scalar_plus_immediate(unsigned msize, unsigned esize, unsigned registers) {
    return [=](const ArchState &s, uint32_t e) {
        const uint64_t block = uint64_t{registers} * (kVectorBytes / esize) * msize;
        const int64_t imm = sign_extend(bits(e, 19, 16), 4);
        return std::vector<Access>{{scalar_base(s, e) + static_cast<uint64_t>(imm) * block, block}};
    };
}
// Zn.D[i] + imm5 * msize.
AddressRule vector_plus_immediate(unsigned msize) {
    return [=](const ArchState &s, uint32_t e) {
        std::vector<Access> out;
        for (unsigned i = 0; i < kVectorBytes / 8; ++i)
            out.push_back({element(s.z[bits(e, 9, 5)], i, 8) + bits(e, 20, 16) * msize, msize});
        return out;
    };
}
// Xn + extend(Zm[i]) (<< msize when scaled).
AddressRule scalar_plus_vector(unsigned msize, unsigned esize, char extend, bool scaled) {
    return [=](const ArchState &s, uint32_t e) {
        std::vector<Access> out;
        for (unsigned i = 0; i < kVectorBytes / esize; ++i) {
            uint64_t off = element(s.z[bits(e, 20, 16)], i, esize);
            if (extend == 's') off = static_cast<uint64_t>(sign_extend(off & 0xffffffffu, 32));
            if (extend == 'u') off &= 0xffffffffu;
            if (scaled) off <<= log2_of(msize);
            out.push_back({scalar_base(s, e) + off, msize});
        }
        return out;
    };
}
// LDR/STR: Xn + simm9 * register size.
AddressRule fill(unsigned register_bytes) {
    return [=](const ArchState &s, uint32_t e) {
        const int64_t imm = sign_extend(bits(e, 21, 16) << 3 | bits(e, 12, 10), 9);
        return std::vector<Access>{
            {scalar_base(s, e) + static_cast<uint64_t>(imm * register_bytes), register_bytes}};
    };
}

TEST(CaseGenerator, MemoryCasesAddressOnlyTheWindow) {
    const struct {
        const char *row;
        AddressRule rule;
    } table[] = {
        {"VecU8CLoad1LSSZ", scalar_plus_scalar(1, 192)},
        {"VecU64CLoad8LSSZ", scalar_plus_scalar(8, 24)},
        {"VecU64E3Store8LSSZ", scalar_plus_scalar(8, 3 * 24)},
        {"VecU32LoadDup4QSSZ", scalar_plus_scalar(4, 4)},
        {"VecU32CStore4SIZ", scalar_plus_immediate(4, 4, 1)},
        {"VecU64CStore4SIZ", scalar_plus_immediate(4, 8, 1)},
        {"VecU16E4Load2SIZ", scalar_plus_immediate(2, 2, 4)},
        {"VecU64Load8VIZ", vector_plus_immediate(8)},
        {"VecS64Load4XVSZ", scalar_plus_vector(4, 8, 's', false)},
        {"VecU64Load4YSVZ", scalar_plus_vector(4, 8, 'u', true)},
        {"VecU64Load8SVZ", scalar_plus_vector(8, 8, 'n', true)},
        {"VecU32Load2XSVZ", scalar_plus_vector(2, 4, 's', true)},
        {"VecU64FillSI", fill(192)},
        {"VecPSpillSI", fill(24)},
    };
    for (const auto &t : table) {
        const DecodeRow &row = row_named(t.row);
        ASSERT_TRUE(row_traits(row).memory) << t.row;
        for (uint32_t k = 0; k < 40; ++k) {
            const Case c = generate_case(row, 77, k);
            ASSERT_EQ(c.memory.size(), kWindowBytes);
            for (const Access &a : t.rule(c.header.state, c.header.encoding)) {
                EXPECT_GE(a.address, kWindowAddress) << t.row << " case " << k;
                EXPECT_LE(a.address + a.bytes, kWindowAddress + kWindowBytes)
                    << t.row << " case " << k;
            }
        }
    }
}

// First-fault and non-fault loads also start near the window's end, so that their later
// elements reach the guard page; their first element is always inside.
TEST(CaseGenerator, FirstFaultCasesAlsoReachTheGuardPage) {
    const struct {
        const char *row;
        AddressRule rule;
    } table[] = {
        {"VecS16CLoadFF1LSSZ", scalar_plus_scalar(1, 96)},
        {"VecU64CLoadNF8SIZ", scalar_plus_immediate(8, 8, 1)},
    };
    for (const auto &t : table) {
        const DecodeRow &row = row_named(t.row);
        ASSERT_TRUE(row_traits(row).first_fault) << t.row;
        unsigned crossing = 0;
        for (uint32_t k = 0; k < 40; ++k) {
            const Case c = generate_case(row, 78, k);
            const Access a = t.rule(c.header.state, c.header.encoding)[0];
            EXPECT_GE(a.address, kWindowAddress) << t.row;
            EXPECT_LT(a.address, kWindowAddress + kWindowBytes) << t.row;
            crossing += a.address + a.bytes > kWindowAddress + kWindowBytes;
        }
        EXPECT_GT(crossing, 0u) << t.row;
        EXPECT_LT(crossing, 40u) << t.row;
    }
    EXPECT_FALSE(row_traits(row_named("VecU64CLoad8LSSZ")).first_fault);
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
    EXPECT_EQ(row_traits(row_named("VecPFillSI")).fill_bytes, 24u);
    EXPECT_EQ(row_traits(row_named("VecU64FillSI")).fill_bytes, 192u);
    for (const char *name : {"VecU16AddVVM", "VecF32AddVVM", "VecPClearFFSR"})
        EXPECT_FALSE(row_traits(row_named(name)).memory) << name;
    EXPECT_EQ(row_traits(row_named("VecU16AddVVM")).element_bytes, 2u);
    EXPECT_TRUE(row_traits(row_named("VecF32AddVVM")).floating_point);
    EXPECT_EQ(row_traits(row_named("VecU128ExtDupVI")).element_bytes, 16u);
}

} // namespace
} // namespace ostrel::oracle
