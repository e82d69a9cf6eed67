// Every class the report names, reached by rows of the families that belong to it.
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

TEST(MixClassify, KernelRowsGoByTheirFamily) {
    for (const DecodeRow &row : kDecodeRows)
        if (row.road == Road::kernel) {
            EXPECT_EQ(mnemonic(row), row.family) << row.name;
        }
}

TEST(MixClassify, EveryFloatingPointTypedArithmeticRowIsFloatingPoint) {
    // Loads and stores of floating-point data count as memory; everything else typed F or D is
    // floating point.
    for (const DecodeRow &row : kDecodeRows) {
        const InstructionClass c = classify(row);
        const bool memory = c == InstructionClass::load || c == InstructionClass::store ||
                            c == InstructionClass::gather_scatter ||
                            c == InstructionClass::first_fault;
        if ((row.type[0] == 'F' || std::strncmp(row.type, "D64", 3) == 0) && !memory) {
            EXPECT_EQ(c, InstructionClass::floating_point) << row.name;
        }
    }
}

} // namespace
} // namespace ostrel::mix
