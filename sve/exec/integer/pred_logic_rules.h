// The bitwise predicate operations. Every one except SEL is zeroing: a bit whose governing bit is
// clear comes out 0.
#pragma once

#include "sve/exec/integer/pred_access.h"

namespace ostrel::pred {

struct AndOp {
    static bool apply(bool n, bool m) { return n && m; }
};
struct BicOp {
    static bool apply(bool n, bool m) { return n && !m; }
};
struct EorOp {
    static bool apply(bool n, bool m) { return n != m; }
};
struct OrrOp {
    static bool apply(bool n, bool m) { return n || m; }
};
struct OrnOp {
    static bool apply(bool n, bool m) { return n || !m; }
};
struct NandOp {
    static bool apply(bool n, bool m) { return !(n && m); }
};
struct NorOp {
    static bool apply(bool n, bool m) { return !(n || m); }
};

template <typename Op, typename G, typename N, typename M, typename Out>
void zeroing_logic(unsigned bits, G pg, N pn, M pm, Out out) {
    for (unsigned i = 0; i < bits; ++i)
        out(i, pg(i) && Op::apply(pn(i), pm(i)));
}

} // namespace ostrel::pred
