#include "tools/oracle/deviations.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "sve/client/vector_length.h"
#include "tools/oracle/row_traits.h"

namespace ostrel::oracle {
namespace {

const std::pair<const char *, Condition> kConditions[] = {
    {"always", Condition::always},
    {"nan-input", Condition::nan_input},
    {"denormal-input", Condition::denormal_input},
    {"fpcr-nondefault", Condition::fpcr_nondefault},
    {"fz-denormal-input", Condition::fz_denormal_input},
    {"negative-input", Condition::negative_input},
};

const std::pair<const char *, StateKind> kStates[] = {
    {"x", StateKind::x},
    {"sp", StateKind::sp},
    {"nzcv", StateKind::nzcv},
    {"fpcr", StateKind::fpcr},
    {"fpsr", StateKind::fpsr},
    {"z", StateKind::z},
    {"z-nan-payload", StateKind::z_nan_payload},
    {"p", StateKind::p},
    {"ffr", StateKind::ffr},
    {"memory", StateKind::memory},
    {"z-ffr-cleared", StateKind::z_ffr_cleared},
    {"ffr-inactive", StateKind::ffr_inactive},
    {"fault", StateKind::fault},
};

std::string trim(const std::string &s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string lower(std::string s) {
    for (char &ch : s)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// Cells of a table line "| a | b |"; "\|" stands for a literal bar (regex alternation).
std::vector<std::string> cells(const std::string &line) {
    std::vector<std::string> out;
    std::string text = trim(line);
    if (text.size() < 2 || text.front() != '|' || text.back() != '|') return out;
    std::string cell;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '\\' && text[i + 1] == '|') {
            cell += '|';
            ++i;
        } else if (text[i] == '|') {
            out.push_back(trim(cell));
            cell.clear();
        } else {
            cell += text[i];
        }
    }
    out.push_back(trim(cell));
    return out;
}

std::string strip_backticks(const std::string &s) {
    if (s.size() >= 2 && s.front() == '`' && s.back() == '`') return s.substr(1, s.size() - 2);
    return s;
}

bool is_separator(const std::vector<std::string> &row) {
    if (row.empty()) return false;
    for (const std::string &c : row)
        if (c.empty() || c.find_first_not_of("-:") != std::string::npos) return false;
    return true;
}

template <typename T, std::size_t N>
bool keyword(const std::pair<const char *, T> (&table)[N], const std::string &word, T &value) {
    for (const auto &entry : table)
        if (word == entry.first) {
            value = entry.second;
            return true;
        }
    return false;
}

// The Z registers the encoding's operands name, from the layout's operand text; all of them
// while the row has no layout.
std::vector<unsigned> named_vectors(const DecodeRow &row, uint32_t encoding) {
    std::set<unsigned> regs;
    const std::string text = row.describe_operands ? row.describe_operands(encoding) : "?";
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const bool starts =
            text[i] == 'z' && (i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1])));
        if (starts && std::isdigit(static_cast<unsigned char>(text[i + 1])))
            regs.insert(static_cast<unsigned>(std::atoi(text.c_str() + i + 1)));
    }
    if (regs.empty())
        for (unsigned r = 0; r < 32; ++r)
            regs.insert(r);
    return {regs.begin(), regs.end()};
}

enum class FpClass { other, nan, denormal };

FpClass classify(const uint8_t *element, unsigned bytes) {
    uint64_t v = 0;
    for (unsigned i = 0; i < bytes; ++i)
        v |= uint64_t{element[i]} << (8 * i);
    const unsigned fraction_bits = bytes == 2 ? 10 : bytes == 4 ? 23 : 52;
    const unsigned exponent_bits = bytes * 8 - 1 - fraction_bits;
    const uint64_t exponent = (v >> fraction_bits) & ((1ull << exponent_bits) - 1);
    const uint64_t fraction = v & ((1ull << fraction_bits) - 1);
    if (fraction == 0) return FpClass::other;
    if (exponent == (1ull << exponent_bits) - 1) return FpClass::nan;
    if (exponent == 0) return FpClass::denormal;
    return FpClass::other;
}

bool some_input_is(FpClass wanted, const DecodeRow &row, const Case &c) {
    const RowTraits t = row_traits(row);
    std::vector<unsigned> sizes;
    if (t.floating_point)
        sizes.push_back(t.element_bytes);
    else
        sizes = {2, 4, 8};
    for (unsigned reg : named_vectors(row, c.header.encoding))
        for (unsigned bytes : sizes)
            for (unsigned i = 0; i < vector_bytes(); i += bytes)
                if (classify(&c.header.state.z[reg][i], bytes) == wanted) return true;
    return false;
}

bool some_input_is_negative(const DecodeRow &row, const Case &c) {
    const unsigned bytes = row_traits(row).element_bytes;
    for (unsigned reg : named_vectors(row, c.header.encoding))
        for (unsigned i = 0; i < vector_bytes(); i += bytes)
            if (c.header.state.z[reg][i + bytes - 1] & 0x80) return true;
    return false;
}

constexpr uint32_t kFpcrFz = 1u << 24;

} // namespace

bool parse_deviations(const std::string &text, DeviationList &out, std::string &error) {
    out.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool in_comment = false;
    enum { before_table, expect_separator, in_table, after_table } phase = before_table;
    auto fail = [&](const std::string &why) {
        error = "deviations line " + std::to_string(number) + ": " + why;
        out.clear();
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        // Comments may hold the format description, bars included.
        if (in_comment || line.find("<!--") != std::string::npos) {
            in_comment = line.find("-->") == std::string::npos;
            continue;
        }
        const std::vector<std::string> row = cells(line);
        if (phase == before_table) {
            if (row.empty()) continue;
            if (row.size() != 4 || lower(row[0]) != "rows" || lower(row[1]) != "condition" ||
                lower(row[2]) != "state" || lower(row[3]) != "reason")
                return fail("table line before the | Rows | Condition | State | Reason | header");
            phase = expect_separator;
        } else if (phase == expect_separator) {
            if (!is_separator(row) || row.size() != 4)
                return fail("the table header must be followed by its separator line");
            phase = in_table;
        } else if (phase == in_table && !row.empty()) {
            if (row.size() != 4)
                return fail("an entry has four cells: rows, condition, state, reason");
            Deviation d;
            d.line = number;
            d.rows_pattern = strip_backticks(row[0]);
            if (d.rows_pattern.empty()) return fail("empty rows pattern");
            try {
                d.rows = std::regex(d.rows_pattern);
            } catch (const std::regex_error &) {
                return fail("not a regular expression: " + d.rows_pattern);
            }
            if (!keyword(kConditions, strip_backticks(row[1]), d.condition))
                return fail("unknown condition '" + row[1] + "'");
            if (!keyword(kStates, strip_backticks(row[2]), d.state))
                return fail("unknown state '" + row[2] + "'");
            d.reason = row[3];
            if (d.reason.empty()) return fail("a deviation needs its reason");
            out.push_back(std::move(d));
        } else if (!row.empty()) {
            return fail("table line outside the deviation table");
        } else if (phase == in_table) {
            phase = after_table; // a blank or prose line ends the table, as in Markdown
        }
    }
    if (phase == before_table || phase == expect_separator) {
        error = "deviations: no | Rows | Condition | State | Reason | table";
        return false;
    }
    return true;
}

bool load_deviations(const std::string &path, DeviationList &out, std::string &error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read the deviation list " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return parse_deviations(text.str(), out, error);
}

bool condition_holds(Condition condition, const DecodeRow &row, const Case &c) {
    switch (condition) {
    case Condition::always:
        return true;
    case Condition::nan_input:
        return some_input_is(FpClass::nan, row, c);
    case Condition::denormal_input:
        return some_input_is(FpClass::denormal, row, c);
    case Condition::fpcr_nondefault:
        return c.header.state.fpcr != 0;
    case Condition::fz_denormal_input:
        return (c.header.state.fpcr & kFpcrFz) != 0 && some_input_is(FpClass::denormal, row, c);
    case Condition::negative_input:
        return some_input_is_negative(row, c);
    }
    return false;
}

} // namespace ostrel::oracle
