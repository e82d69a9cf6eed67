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

// Without a region every count is taken; rows of one mnemonic and type merge (two LD1W gathers).
TEST(MixReport, CsvHasOneHeaderAndARowPerTotalInstructionClassAndWord) {
    MixSnapshot s = empty_snapshot();
    s.rows[kOutsideRegion][row_index("VecU16AddVVM")] = 3;
    s.rows[kInsideRegion][row_index("VecU16AddVVM")] = 0;
    s.rows[kOutsideRegion][row_index("VecU32Load4VSZ")] = 1;
    s.rows[kOutsideRegion][row_index("VecU32Load4VIZ")] = 2;
    s.unimplemented = {UnimplementedWord{0x6540a000, {2, 0}, 0x400abc}};
    const std::string csv = format_report(build_report(s), MixFormat::csv);
    EXPECT_EQ(csv, "kind,name,type,class,count,share,first_pc\n"
                   "total,run,,,6,1,\n"
                   "instruction,ADD,U16,integer,3,0.500000,\n"
                   "instruction,LD1W,U32,gather/scatter,3,0.500000,\n"
                   "class,,,integer,3,0.500000,\n"
                   "class,,,predicate,0,0.000000,\n"
                   "class,,,permute,0,0.000000,\n"
                   "class,,,load,0,0.000000,\n"
                   "class,,,store,0,0.000000,\n"
                   "class,,,gather/scatter,3,0.500000,\n"
                   "class,,,first-fault,0,0.000000,\n"
                   "class,,,floating point,0,0.000000,\n"
                   "unimplemented,0x6540a000,,,2,,0x400abc\n");
}

} // namespace
} // namespace ostrel::mix
