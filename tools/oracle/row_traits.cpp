#include "tools/oracle/row_traits.h"

#include "tools/oracle/oracle_case.h"

#include <cctype>
#include <cstring>

#include "sve/client/vector_length.h"

namespace ostrel::oracle {
namespace {

bool has(const std::string &text, const char *part) {
    return text.find(part) != std::string::npos;
}

// The first run of digits at or after `from`, or 0.
unsigned number_after(const std::string &text, std::size_t from) {
    while (from < text.size() && !std::isdigit(static_cast<unsigned char>(text[from])))
        ++from;
    unsigned value = 0;
    while (from < text.size() && std::isdigit(static_cast<unsigned char>(text[from])))
        value = value * 10 + static_cast<unsigned>(text[from++] - '0');
    return value;
}

unsigned type_element_bytes(const std::string &type) {
    const unsigned bits = number_after(type, 0);
    return bits >= 8 ? bits / 8 : 1; // P (no size) -> 1
}

} // namespace

RowTraits row_traits(const DecodeRow &row) {
    RowTraits t;
    const std::string type = row.type;
    const std::string family = row.family;
    t.element_bytes = type_element_bytes(type);
    t.floating_point = !type.empty() && (type[0] == 'F' || type[0] == 'D');

    const bool fill = has(family, "Fill") || has(family, "Spill");
    const char *const access_words[] = {"Load", "Store", "Prefetch", "LEA"};
    std::size_t word_end = std::string::npos;
    for (const char *word : access_words)
        if (std::size_t at = family.find(word); at != std::string::npos) {
            word_end = at + std::strlen(word);
            break;
        }
    t.memory = fill || word_end != std::string::npos;
    if (!t.memory) return t;

    if (fill) {
        t.base = BaseKind::scalar;
        t.offset = OffsetKind::immediate;
        t.fill_bytes = type == "P" ? vector_bytes() / 8 : vector_bytes();
        return t;
    }
    t.memory_element_bytes = number_after(family, word_end);
    t.first_fault = has(family, "LoadFF") || has(family, "LoadNF");
    if (family[0] == 'E') t.registers = number_after(family, 0);

    // The address shape is the tail after the size digit: LSS / QSS (Xn + Xm), SI (Xn + imm),
    // VI (Zn + imm), SV / VS (Xn + Zm), VV (Zn + Zm), each optionally preceded by X (SXTW)
    // or Y (UXTW) for 32-bit offsets inside 64-bit elements.
    std::size_t shape = word_end;
    while (shape < family.size() && !std::isdigit(static_cast<unsigned char>(family[shape])))
        ++shape;
    while (shape < family.size() && std::isdigit(static_cast<unsigned char>(family[shape])))
        ++shape;
    const std::string tail = family.substr(shape);
    if (!tail.empty() && tail[0] == 'X') t.extend = ExtendKind::sxtw;
    if (!tail.empty() && tail[0] == 'Y') t.extend = ExtendKind::uxtw;

    if (has(tail, "VV")) {
        t.base = BaseKind::vector;
        t.offset = OffsetKind::vector;
    } else if (has(tail, "VI")) {
        t.base = BaseKind::vector;
        t.offset = OffsetKind::immediate;
    } else if (has(tail, "SV") || has(tail, "VS")) {
        t.base = BaseKind::scalar;
        t.offset = OffsetKind::vector;
    } else if (has(tail, "SS")) {
        t.base = BaseKind::scalar;
        t.offset = OffsetKind::scalar;
    } else {
        t.base = BaseKind::scalar;
        t.offset = OffsetKind::immediate;
    }
    // Unmarked vector offsets in 32-bit elements are zero-extended.
    if (t.offset == OffsetKind::vector && t.extend == ExtendKind::none && t.element_bytes == 4)
        t.extend = ExtendKind::uxtw;
    return t;
}

} // namespace ostrel::oracle
