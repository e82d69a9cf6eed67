#include "sve/client/mix_classify.h"

#include <cctype>
#include <cstring>

namespace ostrel::mix {
namespace {

bool starts_with(const char *text, const char *prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool starts_with_any(const char *text, std::initializer_list<const char *> prefixes) {
    for (const char *prefix : prefixes)
        if (starts_with(text, prefix)) return true;
    return false;
}

// Gathers and scatters: (Load|Store)<size>[X|Y](VI|VS|SV)Z, the vector-addressed families.
bool vector_addressed(const char *family) {
    const char *rest = family;
    if (starts_with(rest, "Load"))
        rest += 4;
    else if (starts_with(rest, "Store"))
        rest += 5;
    else
        return false;
    if (!std::isdigit(static_cast<unsigned char>(*rest))) return false;
    ++rest;
    if (*rest == 'X' || *rest == 'Y') ++rest;
    return std::strcmp(rest, "VIZ") == 0 || std::strcmp(rest, "VSZ") == 0 ||
           std::strcmp(rest, "SVZ") == 0;
}

bool floating_point_type(const char *type) {
    return type[0] == 'F' || starts_with(type, "D64");
}

} // namespace

const char *class_name(InstructionClass c) {
    static const char *const names[kNumClasses] = {"integer",     "predicate",     "permute",
                                                   "load",        "store",         "gather/scatter",
                                                   "first-fault", "floating point"};
    return names[static_cast<unsigned>(c)];
}

InstructionClass classify(const DecodeRow &row) {
    const char *family = row.family;
    // Memory first: a floating-point gather is a gather.
    if (starts_with_any(family, {"CLoadFF", "CLoadNF", "LoadFF"}))
        return InstructionClass::first_fault;
    if (vector_addressed(family)) return InstructionClass::gather_scatter;
    if (starts_with_any(family,
                        {"CLoad", "E2Load", "E3Load", "E4Load", "LoadDup", "Fill", "Prefetch"}))
        return InstructionClass::load;
    if (starts_with_any(family, {"CStore", "E2Store", "E3Store", "E4Store", "Spill"}))
        return InstructionClass::store;
    if (floating_point_type(row.type)) return InstructionClass::floating_point;
    // Loop control makes predicates (WHILE*) or ends loops on them (CTERM*) whatever its type.
    if (row.type[0] == 'P' || starts_with_any(family, {"While", "CTerm"}))
        return InstructionClass::predicate;
    if (starts_with_any(family, {"Zip", "Uzp", "Trn", "Tbl", "Rev", "Splice", "Compress", "Sel",
                                 "Slide", "Unpack", "Last", "CondX", "VCondX", "Insert", "Dup",
                                 "ExtDup", "MovePrefix", "SpecialMove", "Index"}))
        return InstructionClass::permute;
    return InstructionClass::integer;
}

std::string mnemonic(const DecodeRow &row) {
    if (row.road == Road::kernel || !starts_with(row.target, "sve_")) return row.family;
    std::string name;
    for (const char *c = row.target + 4; *c && *c != '_'; ++c)
        name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(*c))));
    return name;
}

} // namespace ostrel::mix
