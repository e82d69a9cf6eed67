// Every class the report names, reached by rows of the families that belong to it; mnemonics
// from executors, and kernel rows by their family.
#include <gtest/gtest.h>

#include <cstring>

#include "sve/client/mix_classify.h"

namespace ostrel::mix {
namespace {

const DecodeRow &row_named(const char *name) {
    for (const DecodeRow &row : kDecodeRows)
        if (std::strcmp(row.name, name) == 0) return row;
    ADD_FAILURE() << "no row " << name;
    return kDecodeRows[0];
}

struct Case {
    const char *row;
    InstructionClass expected_class;
    const char *expected_mnemonic;
};

TEST(MixClassify, RowsFallIntoTheirClassesWithTheirMnemonics) {
    const Case cases[] = {
        {"VecU16AddVVM", InstructionClass::integer, "ADD"},
        {"VecS64MulVVM", InstructionClass::integer, "MUL"},
        {"VecPFalse", InstructionClass::predicate, "PFALSE"},
        {"VecP16ReverseP", InstructionClass::predicate, "REV"},
        {"VecU64While8LTSS", InstructionClass::predicate, "WHILELO"},
        {"VecU32Zip1VV", InstructionClass::permute, "ZIP1"},
        {"VecU32TblVV", InstructionClass::permute, "TBL"},
        {"VecU64DupS", InstructionClass::permute, "DUP"},
        {"VecU32CLoad4LSSZ", InstructionClass::load, "LD1W"},
        {"VecU64E2Load8LSSZ", InstructionClass::load, "LD2D"},
        {"VecU32CStore4SIZ", InstructionClass::store, "ST1W"},
        {"VecU32Load4VSZ", InstructionClass::gather_scatter, "LD1W"},
        {"VecU64Store8VIZ", InstructionClass::gather_scatter, "ST1D"},
        {"VecU32CLoadNF4SIZ", InstructionClass::first_fault, "LDNF1W"},
        {"VecU64LoadFF8VSZ", InstructionClass::first_fault, "LoadFF8VSZ"},
        {"VecF32AddVVM", InstructionClass::floating_point, nullptr},
        {"VecD64MulVVM", InstructionClass::floating_point, nullptr},
    };
    for (const Case &c : cases) {
        const DecodeRow &row = row_named(c.row);
        EXPECT_STREQ(class_name(classify(row)), class_name(c.expected_class)) << c.row;
        if (c.expected_mnemonic) {
            EXPECT_EQ(mnemonic(row), c.expected_mnemonic) << c.row;
        }
    }
}

} // namespace
} // namespace ostrel::mix
