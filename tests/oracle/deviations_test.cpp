// The deviation list: what the parser accepts and rejects, and that a deviation excuses a
// difference only in its own rows, state and condition.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/oracle/oracle_test_rows.h"
#include "tools/oracle/case_generator.h"
#include "tools/oracle/comparator.h"
#include "tools/oracle/deviations.h"

namespace ostrel::oracle {
namespace {

using testing::row_named;

const char *const kHeader = "# Deviations\n\nSome prose | with a bar is not a table line? no.\n\n"
                            "| Rows | Condition | State | Reason |\n"
                            "|------|-----------|-------|--------|\n";

std::string with_header(const std::string &entries) {
    // The prose line above contains a bar but does not start with one.
    return std::string(kHeader) + entries;
}

TEST(DeviationList, TheRepositoryListParses) {
    DeviationList list;
    std::string error;
    ASSERT_TRUE(load_deviations(OSTREL_DEVIATIONS_FILE, list, error)) << error;
}

TEST(DeviationList, AcceptsWellFormedEntries) {
    DeviationList list;
    std::string error;
    ASSERT_TRUE(parse_deviations(
        with_header("| `^VecF32(Add\\|Sub)VVM$` | nan-input | z-nan-payload | host NaN rules |\n"
                    "| ^VecF16 | `fpcr-nondefault` | fpsr | flags of the host unit |\n"
                    "| Load | always | memory | reason |\n"
                    "\nMore prose after the table.\n"),
        list, error))
        << error;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].rows_pattern, "^VecF32(Add|Sub)VVM$");
    EXPECT_TRUE(std::regex_search("VecF32SubVVM", list[0].rows));
    EXPECT_FALSE(std::regex_search("VecF32MulVVM", list[0].rows));
    EXPECT_EQ(list[0].condition, Condition::nan_input);
    EXPECT_EQ(list[0].state, StateKind::z_nan_payload);
    EXPECT_EQ(list[0].reason, "host NaN rules");
    EXPECT_EQ(list[1].condition, Condition::fpcr_nondefault);
    EXPECT_EQ(list[1].state, StateKind::fpsr);
    EXPECT_EQ(list[2].condition, Condition::always);
    EXPECT_EQ(list[2].state, StateKind::memory);
}

TEST(DeviationList, AnEmptyTableIsValid) {
    DeviationList list;
    std::string error;
    EXPECT_TRUE(parse_deviations(with_header(""), list, error)) << error;
    EXPECT_TRUE(list.empty());
}

TEST(DeviationList, RejectsMalformedEntries) {
    struct Bad {
        const char *what;
        std::string text;
        const char *message_part;
    };
    const Bad table[] = {
        {"three cells", with_header("| ^VecF32 | nan-input | fpsr |\n"), "four cells"},
        {"five cells", with_header("| ^VecF32 | nan-input | fpsr | a | b |\n"), "four cells"},
        {"unknown condition", with_header("| ^VecF32 | sometimes | fpsr | r |\n"),
         "unknown condition"},
        {"unknown state", with_header("| ^VecF32 | always | flags | r |\n"), "unknown state"},
        {"bad regex", with_header("| ^VecF32( | always | fpsr | r |\n"),
         "not a regular expression"},
        {"empty rows", with_header("|  | always | fpsr | r |\n"), "empty rows"},
        {"empty reason", with_header("| ^VecF32 | always | fpsr |  |\n"), "reason"},
        {"no table", "# Deviations\n\nNothing here.\n", "no | Rows"},
        {"no separator", "| Rows | Condition | State | Reason |\n| ^Vec | always | fpsr | r |\n",
         "separator"},
        {"a second table",
         with_header("| ^VecF32 | always | fpsr | r |\n\n| ^X | always | x | r |\n"),
         "outside the deviation table"},
        {"a table before the header", "| a | b |\n" + with_header(""), "before the"},
    };
    for (const Bad &bad : table) {
        SCOPED_TRACE(bad.what);
        DeviationList list;
        std::string error;
        EXPECT_FALSE(parse_deviations(bad.text, list, error));
        EXPECT_NE(error.find(bad.message_part), std::string::npos) << error;
        EXPECT_TRUE(list.empty());
    }
}

TEST(DeviationList, ReportsTheLineOfAMalformedEntry) {
    DeviationList list;
    std::string error;
    // The header text ends on line 6; the bad entry is line 8.
    EXPECT_FALSE(parse_deviations(
        with_header("| ^VecF32 | always | fpsr | r |\n| ^VecF32 | always | nope | r |\n"), list,
        error));
    EXPECT_NE(error.find("line 8"), std::string::npos) << error;
}

// Cases of an F32 row whose instruction names z registers; the generator's random registers
// are overwritten so that the condition is known.
class DeviationSemantics : public ::testing::Test {
  protected:
    const DecodeRow &row = row_named("VecF32AddVVM");
    Case c = generate_case(row, 11, 0);
    Result reference, engine;

    void SetUp() override {
        for (auto &z : c.header.state.z)
            for (unsigned i = 0; i < vector_bytes(); i += 4)
                put(z + i, 0x3f800000); // 1.0f
        c.header.state.fpcr = 0;
        reference.header.magic = engine.header.magic = kResultMagic;
        reference.header.state = c.header.state;
        engine.header.state = c.header.state;
    }
    static void put(uint8_t *p, uint32_t v) { std::memcpy(p, &v, 4); }
    unsigned named_register() const { return (c.header.encoding >> 5) & 31; } // Zm of FADD (pred.)

    DeviationList list(const std::string &entries) {
        DeviationList l;
        std::string error;
        EXPECT_TRUE(parse_deviations(with_header(entries), l, error)) << error;
        return l;
    }
};

TEST_F(DeviationSemantics, NanPayloadDifferenceAllowedOnlyWithANanInput) {
    const DeviationList l = list("| ^VecF32AddVVM$ | nan-input | z-nan-payload | test |\n");
    put(reference.header.state.z[3] + 8, 0x7fc00001);
    put(engine.header.state.z[3] + 8, 0x7fc00002);
    EXPECT_EQ(judge_case(row, c, reference, engine, l).verdict, Verdict::mismatch)
        << "no NaN among the inputs";

    put(c.header.state.z[named_register()] + 4, 0x7f800001); // a signalling NaN input
    EXPECT_EQ(judge_case(row, c, reference, engine, l).verdict, Verdict::equal);

    // Not a payload difference: a NaN against a number is still a mismatch.
    put(engine.header.state.z[3] + 8, 0x3f800000);
    EXPECT_EQ(judge_case(row, c, reference, engine, l).verdict, Verdict::mismatch);
}

TEST_F(DeviationSemantics, ADeviationCoversOnlyItsStateAndRows) {
    put(c.header.state.z[named_register()], 0x7fc00000);
    engine.header.state.fpsr ^= 1; // IOC
    EXPECT_EQ(
        judge_case(row, c, reference, engine, list("| ^VecF32AddVVM$ | nan-input | fpsr | t |\n"))
            .verdict,
        Verdict::equal);
    EXPECT_EQ(
        judge_case(row, c, reference, engine, list("| ^VecF32AddVVM$ | nan-input | z | t |\n"))
            .verdict,
        Verdict::mismatch);
    EXPECT_EQ(
        judge_case(row, c, reference, engine, list("| ^VecF64 | nan-input | fpsr | t |\n")).verdict,
        Verdict::mismatch);
    // A difference in another state stays a mismatch even where the fpsr one is excused.
    engine.header.state.nzcv ^= 1u << 31;
    const CaseJudgement j =
        judge_case(row, c, reference, engine, list("| ^VecF32AddVVM$ | always | fpsr | t |\n"));
    EXPECT_EQ(j.verdict, Verdict::mismatch);
    EXPECT_EQ(j.difference.rfind("nzcv", 0), 0u) << j.difference;
}

TEST_F(DeviationSemantics, FpcrConditionFollowsTheCase) {
    const DeviationList l = list("| F32 | fpcr-nondefault | fpsr | t |\n");
    engine.header.state.fpsr ^= 1u << 4;
    EXPECT_EQ(judge_case(row, c, reference, engine, l).verdict, Verdict::mismatch);
    c.header.state.fpcr = 3u << 22; // round towards zero
    EXPECT_EQ(judge_case(row, c, reference, engine, l).verdict, Verdict::equal);
}

TEST_F(DeviationSemantics, FzDenormalAndNegativeConditionsNeedBothParts) {
    const DeviationList fz = list("| F32 | fz-denormal-input | fpsr | t |\n");
    const DeviationList negative = list("| F32 | negative-input | fpsr | t |\n");
    engine.header.state.fpsr ^= 1u << 7;
    put(c.header.state.z[named_register()] + 8, 0x00000001); // a denormal, FZ clear
    EXPECT_EQ(judge_case(row, c, reference, engine, fz).verdict, Verdict::mismatch);
    c.header.state.fpcr = 1u << 24;
    EXPECT_EQ(judge_case(row, c, reference, engine, fz).verdict, Verdict::equal);
    put(c.header.state.z[named_register()] + 8, 0x3f800000); // FZ set, no denormal
    EXPECT_EQ(judge_case(row, c, reference, engine, fz).verdict, Verdict::mismatch);

    EXPECT_EQ(judge_case(row, c, reference, engine, negative).verdict, Verdict::mismatch);
    put(c.header.state.z[named_register()] + 12, 0xbf800000); // -1.0f
    EXPECT_EQ(judge_case(row, c, reference, engine, negative).verdict, Verdict::equal);
}

TEST_F(DeviationSemantics, DenormalConditionLooksAtNamedRegistersOnly) {
    const DeviationList l = list("| F32 | denormal-input | fpsr | t |\n");
    engine.header.state.fpsr ^= 1u << 7; // IDC
    const unsigned other = (named_register() + 1) % 32 == ((c.header.encoding) & 31)
                               ? (named_register() + 2) % 32
                               : (named_register() + 1) % 32;
    put(c.header.state.z[other], 0x00000001);
    EXPECT_EQ(judge_case(row, c, reference, engine, l).verdict, Verdict::mismatch);
    put(c.header.state.z[named_register()] + 188, 0x00000001);
    EXPECT_EQ(judge_case(row, c, reference, engine, l).verdict, Verdict::equal);
}

// The speculative loads' states: Z elements the engine's FFR marks as not loaded, FFR bits of
// elements the governing predicate (bits 12..10) leaves inactive, and a fault of the reference
// where the engine completes. Each excuses exactly that and nothing next to it.
TEST_F(DeviationSemantics, SpeculativeLoadStatesExcuseOnlyTheirElements) {
    const unsigned pg = (c.header.encoding >> 10) & 7;
    std::memset(c.header.state.p[pg], 0, kStatePredicateBytes);
    set_packed_bit(c.header.state.p[pg], 4 * 1, true); // element 1 active, 0 and 2 inactive
    std::memset(reference.header.state.ffr, 0xff, kStatePredicateBytes);
    std::memset(engine.header.state.ffr, 0xff, kStatePredicateBytes);

    const DeviationList z_rule = list("| F32 | always | z-ffr-cleared | t |\n");
    put(engine.header.state.z[7] + 8, 0x12345678); // element 2 differs
    EXPECT_EQ(judge_case(row, c, reference, engine, z_rule).verdict, Verdict::mismatch);
    set_packed_bit(reference.header.state.ffr, 8, false); // the reference's FFR alone: no
    set_packed_bit(engine.header.state.ffr, 8, false);
    EXPECT_EQ(judge_case(row, c, reference, engine, z_rule).verdict, Verdict::equal);
    set_packed_bit(engine.header.state.ffr, 8, true);
    EXPECT_EQ(judge_case(row, c, reference, engine, z_rule).verdict, Verdict::mismatch);
    std::memcpy(engine.header.state.z[7], reference.header.state.z[7], kStateVectorBytes);
    std::memset(reference.header.state.ffr, 0xff, kStatePredicateBytes);

    const DeviationList ffr_rule = list("| F32 | always | ffr-inactive | t |\n");
    set_packed_bit(engine.header.state.ffr, 8, false); // element 2: inactive
    EXPECT_EQ(judge_case(row, c, reference, engine, ffr_rule).verdict, Verdict::equal);
    set_packed_bit(engine.header.state.ffr, 4, false); // element 1: active
    EXPECT_EQ(judge_case(row, c, reference, engine, ffr_rule).verdict, Verdict::mismatch);
    std::memset(engine.header.state.ffr, 0xff, kStatePredicateBytes);

    const DeviationList fault_rule = list("| F32 | always | fault | t |\n");
    reference.header.outcome = Outcome::faulted;
    EXPECT_EQ(judge_case(row, c, reference, engine, {}).verdict, Verdict::mismatch);
    EXPECT_EQ(judge_case(row, c, reference, engine, fault_rule).verdict, Verdict::equal);
    // Only that way round: an engine that faults where the reference completes stays wrong.
    EXPECT_EQ(judge_case(row, c, engine, reference, fault_rule).verdict, Verdict::mismatch);
}

} // namespace
} // namespace ostrel::oracle
