// The report built from summed counters: which counts it takes, how it merges and orders them,
// and both printed forms.
#include <gtest/gtest.h>

#include <cstring>

#include "sve/client/mix_report.h"

namespace ostrel::mix {
namespace {

size_t row_index(const char *name) {
    for (size_t r = 0; r < kNumRows; ++r)
        if (std::strcmp(kDecodeRows[r].name, name) == 0) return r;
    ADD_FAILURE() << "no row " << name;
    return 0;
}

MixSnapshot empty_snapshot() {
    MixSnapshot s;
    s.rows[0].assign(kNumRows, 0);
    s.rows[1].assign(kNumRows, 0);
    return s;
}

TEST(MixReport, WithoutARegionEveryCountIsTakenAndRowsOfOneMnemonicAndTypeMerge) {
    MixSnapshot s = empty_snapshot();
    s.rows[kOutsideRegion][row_index("VecU32CLoad4LSSZ")] = 30; // LD1W [Xn, Xm, LSL #2]
    s.rows[kOutsideRegion][row_index("VecU32CLoad4SIZ")] = 10;  // LD1W [Xn, #imm, MUL VL]
    s.rows[kOutsideRegion][row_index("VecU16AddVVM")] = 50;
    s.rows[kOutsideRegion][row_index("VecPFalse")] = 10;
    const MixReport r = build_report(s);
    EXPECT_FALSE(r.region_only);
    EXPECT_EQ(r.total, 100u);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0].mnemonic, "ADD");
    EXPECT_EQ(r.lines[1].mnemonic, "LD1W");
    EXPECT_EQ(r.lines[1].type, "U32");
    EXPECT_EQ(r.lines[1].count, 40u);
    EXPECT_EQ(r.lines[2].mnemonic, "PFALSE");
    EXPECT_EQ(r.by_class[unsigned(InstructionClass::integer)], 50u);
    EXPECT_EQ(r.by_class[unsigned(InstructionClass::load)], 40u);
    EXPECT_EQ(r.by_class[unsigned(InstructionClass::predicate)], 10u);
}

TEST(MixReport, AMarkedRegionLimitsEveryCountToIt) {
    MixSnapshot s = empty_snapshot();
    s.rows[kOutsideRegion][row_index("VecU16AddVVM")] = 1000;
    s.rows[kInsideRegion][row_index("VecU16AddVVM")] = 2;
    s.rows[kInsideRegion][row_index("VecU32CStore4SIZ")] = 6;
    UnimplementedWord outside_only{0x65000000, {5, 0}, 0x4000};
    UnimplementedWord both{0x65000400, {1, 3}, 0x5000};
    s.unimplemented = {outside_only, both};
    const MixReport r = build_report(s);
    EXPECT_TRUE(r.region_only);
    EXPECT_EQ(r.total, 8u);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0].mnemonic, "ST1W");
    EXPECT_EQ(r.lines[1].count, 2u);
    ASSERT_EQ(r.unimplemented.size(), 1u);
    EXPECT_EQ(r.unimplemented[0].word, 0x65000400u);
}

TEST(MixReport, CsvHasOneHeaderAndARowPerTotalInstructionClassAndWord) {
    MixSnapshot s = empty_snapshot();
    s.rows[kOutsideRegion][row_index("VecU16AddVVM")] = 3;
    s.rows[kOutsideRegion][row_index("VecU32Load4VSZ")] = 1;
    s.unimplemented = {UnimplementedWord{0x6540a000, {2, 0}, 0x400abc}};
    const std::string csv = format_report(build_report(s), MixFormat::csv);
    EXPECT_EQ(csv, "kind,name,type,class,count,share,first_pc\n"
                   "total,run,,,4,1,\n"
                   "instruction,ADD,U16,integer,3,0.750000,\n"
                   "instruction,LD1W,U32,gather/scatter,1,0.250000,\n"
                   "class,,,integer,3,0.750000,\n"
                   "class,,,predicate,0,0.000000,\n"
                   "class,,,permute,0,0.000000,\n"
                   "class,,,load,0,0.000000,\n"
                   "class,,,store,0,0.000000,\n"
                   "class,,,gather/scatter,1,0.250000,\n"
                   "class,,,first-fault,0,0.000000,\n"
                   "class,,,floating point,0,0.000000,\n"
                   "unimplemented,0x6540a000,,,2,,0x400abc\n");
}

TEST(MixReport, TextNamesTheScopeAndShowsSharesAndWords) {
    MixSnapshot s = empty_snapshot();
    s.rows[kInsideRegion][row_index("VecU16AddVVM")] = 1;
    s.rows[kInsideRegion][row_index("VecPFalse")] = 3;
    s.unimplemented = {UnimplementedWord{0x65000000, {0, 7}, 0x1234}};
    const std::string text = format_report(build_report(s), MixFormat::text);
    EXPECT_NE(text.find("Instruction mix: 4 SVE instructions emulated inside the region of "
                        "interest\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("PFALSE"), std::string::npos);
    EXPECT_NE(text.find("75.00%"), std::string::npos) << text;
    EXPECT_NE(text.find("0x65000000              7  0x1234"), std::string::npos) << text;
}

TEST(MixReport, FormatsAreTextAndCsvOnly) {
    MixFormat f = MixFormat::text;
    EXPECT_TRUE(parse_format("csv", &f));
    EXPECT_EQ(f, MixFormat::csv);
    EXPECT_TRUE(parse_format("text", &f));
    EXPECT_EQ(f, MixFormat::text);
    for (const char *bad : {"", "CSV", "json", "txt"})
        EXPECT_FALSE(parse_format(bad, &f)) << bad;
}

} // namespace
} // namespace ostrel::mix
