// The break rules at byte granularity: BRKA/BRKB (break after or before the first true active
// bit), BRKPA/BRKPB (break on the previous partition's last active bit, then on Pm) and the
// condition under which BRKN keeps its destination.
#pragma once

#include "sve/exec/integer/pred_access.h"

namespace ostrel::pred {

// BRKA (After) includes the first active true bit of Pn, BRKB stops before it. Inactive bits
// come from `inactive(i)`: 0 for the zeroing forms, the old destination for the merging ones.
template <bool After, typename G, typename N, typename Inactive, typename Out>
void break_first(unsigned bits, G pg, N pn, Inactive inactive, Out out) {
    bool broken = false;
    for (unsigned i = 0; i < bits; ++i) {
        if (!pg(i)) {
            out(i, inactive(i));
            continue;
        }
        if (!After) broken = broken || pn(i);
        out(i, !broken);
        if (After) broken = broken || pn(i);
    }
}

// Whether Pn is true at the last active bit of Pg (false when Pg has no active bit).
template <typename G, typename N> bool last_active_true(unsigned bits, G pg, N pn) {
    for (unsigned i = bits; i-- > 0;)
        if (pg(i)) return pn(i);
    return false;
}

// BRKPA (After) includes the first active true bit of Pm, BRKPB stops before it; the whole
// result is 0 unless Pn is true at the last active bit of Pg.
template <bool After, typename G, typename N, typename M, typename Out>
void break_previous(unsigned bits, G pg, N pn, M pm, Out out) {
    bool running = last_active_true(bits, pg, pn);
    for (unsigned i = 0; i < bits; ++i) {
        if (!pg(i)) {
            out(i, false);
            continue;
        }
        if (!After) running = running && !pm(i);
        out(i, running);
        if (After) running = running && !pm(i);
    }
}

} // namespace ostrel::pred
