// Judges one case: the reference's result against the engine's, register by register and byte
// by byte over the whole record (past the case's vector length both leave zeros), allowing only
// the differences the deviation list grants.
#pragma once

#include <string>

#include "sve/decode/decode_rows.h"
#include "tools/oracle/case_io.h"
#include "tools/oracle/deviations.h"

namespace ostrel::oracle {

enum class Verdict {
    skipped,       // undefined on the reference: not an instruction in this variant
    equal,         // same outcome and same state
    mismatch,      // see `difference`
    unimplemented, // the engine has no emulation for it
};

struct CaseJudgement {
    Verdict verdict = Verdict::equal;
    std::string difference; // the first one, e.g. "z3[5]: reference 0x0001, engine 0x0002"
};

CaseJudgement judge_case(const DecodeRow &row, const Case &c, const Result &reference,
                         const Result &engine, const DeviationList &deviations);

const char *outcome_name(Outcome outcome);

} // namespace ostrel::oracle
