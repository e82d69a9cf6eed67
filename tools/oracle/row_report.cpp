#include "tools/oracle/row_report.h"

#include <cstdio>

namespace ostrel::oracle {

void RowReport::add(uint32_t encoding, const CaseJudgement &judgement) {
    if (judgement.verdict == Verdict::skipped) return;
    ++defined;
    if (judgement.verdict == Verdict::unimplemented) {
        ++unimplemented;
        return;
    }
    if (judgement.verdict == Verdict::mismatch && !mismatched) {
        mismatched = true;
        mismatch_encoding = encoding;
        difference = judgement.difference;
    }
}

void RowReport::fail(uint32_t encoding, const std::string &what) {
    if (mismatched) return;
    mismatched = true;
    mismatch_encoding = encoding;
    difference = what;
}

RowStatus RowReport::status() const {
    if (mismatched) return RowStatus::mismatch;
    if (unimplemented > 0) return RowStatus::unimplemented;
    if (defined == 0) return RowStatus::undefined;
    return RowStatus::pass;
}

std::string row_line(const RowReport &row, const std::map<uint32_t, std::string> &disassembly) {
    switch (row.status()) {
    case RowStatus::pass:
        return "PASS " + row.name;
    case RowStatus::unimplemented:
        return "UNIMPLEMENTED " + row.name;
    case RowStatus::undefined:
        return "UNDEFINED " + row.name;
    case RowStatus::mismatch:
        break;
    }
    char encoding[16];
    std::snprintf(encoding, sizeof encoding, "%08x", row.mismatch_encoding);
    const auto text = disassembly.find(row.mismatch_encoding);
    return "MISMATCH " + row.name + " " + encoding + " " +
           (text != disassembly.end() ? text->second : std::string("?")) + ": " + row.difference;
}

std::string summary_line(const std::vector<RowReport> &rows) {
    unsigned implemented = 0, mismatching = 0, unimplemented = 0;
    for (const RowReport &row : rows) {
        const RowStatus s = row.status();
        // A mismatching row counts as implemented: the engine claimed it and got it wrong.
        if (s == RowStatus::pass || s == RowStatus::mismatch) ++implemented;
        if (s == RowStatus::mismatch) ++mismatching;
        if (s == RowStatus::unimplemented) ++unimplemented;
    }
    return "rows: " + std::to_string(implemented) + " implemented, " + std::to_string(mismatching) +
           " mismatching, " + std::to_string(unimplemented) + " unimplemented";
}

bool all_match(const std::vector<RowReport> &rows) {
    for (const RowReport &row : rows)
        if (row.status() == RowStatus::mismatch) return false;
    return true;
}

} // namespace ostrel::oracle
