// PNEXT and PFIRST: the next active element after Pdn's last true one (from nothing, from the
// last element, with stray bytes in wide elements), the first active byte, and their flags.
#include "tests/predicate_ops/pred_ops_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

constexpr uint64_t kNzcvBefore = V | 0x3c;

struct IterCase {
    const char *what;
    unsigned size; // element size code of PNEXT; PFIRST is byte granular
    Pred pdn, pg;
    Pred expect;
    uint64_t flags;
};

void run_cases(uint32_t base, bool sized, const std::vector<IterCase> &cases) {
    for (const IterCase &c : cases) {
        SCOPED_TRACE(c.what);
        auto s = garbage_state(11);
        s->nzcv = kNzcvBefore;
        set_pred(*s, 1, c.pdn);
        set_pred(*s, 2, c.pg);
        const uint32_t enc = base | (sized ? c.size << 22 : 0u) | 2u << 5 | 1u;
        ASSERT_EQ(emulate(*s, enc), DECODE_OK);
        EXPECT_EQ(predicate(*s, 1), c.expect);
        EXPECT_EQ(s->nzcv, (kNzcvBefore & ~kFlagBits) | c.flags);
        EXPECT_EQ(predicate(*s, 2), c.pg);
    }
}

TEST(Pnext, NextActiveElement) {
    const Pred none = all_false(), all = all_true();
    Pred stray_pdn = none; // only the second byte of halfword 5: not an element bit
    stray_pdn[11] = 1;
    Pred stray_pg = elements_at(1, {2});
    stray_pg[1] = 1;
    run_cases(
        0x2519c400, true,
        {
            // PredTest(Pg, {5}): first active (5) set, last active (9) clear.
            {"all-false Pdn takes Pg's first", 0, none, bytes_at({5, 9}), bytes_at({5}), N | C},
            {"advances past Pdn's last true", 0, bytes_at({5}), bytes_at({5, 9}), bytes_at({9}), 0},
            {"the last active one ends the walk", 0, bytes_at({9}), bytes_at({5, 9}), none, Z | C},
            {"Pdn at the last byte", 0, bytes_at({191}), all, none, Z | C},
            {"Pdn at the last word", 2, elements_at(2, {47}), all, none, Z | C},
            {"Pdn at the last doubleword, nothing in Pg", 3, elements_at(3, {23}), none, none,
             Z | C},
            {"Pdn's last true need not be active", 0, bytes_at({2, 7}), bytes_at({3, 8}),
             bytes_at({8}), 0},
            {"skips inactive elements", 2, elements_at(2, {3}), elements_at(2, {0, 10}),
             elements_at(2, {10}), 0},
            {"doublewords from nothing", 3, none, all, elements_at(3, {0}), N | C},
            {"doublewords to the last", 3, elements_at(3, {22}), all, elements_at(3, {23}), 0},
            {"stray bytes are not elements", 1, stray_pdn, stray_pg, elements_at(1, {2}), N},
        });
}

TEST(Pfirst, SetsFirstActiveByte) {
    run_cases(
        0x2558c000, false,
        {
            {"adds Pg's first active byte", 0, bytes_at({100}), bytes_at({7, 50}),
             bytes_at({7, 100}), N | C},
            {"already set", 0, bytes_at({7}), bytes_at({7}), bytes_at({7}), N},
            {"Pg all false leaves Pdn", 0, bytes_at({3, 4}), all_false(), bytes_at({3, 4}), Z | C},
            {"first active at the last byte", 0, all_true(), bytes_at({191}), all_true(), N},
            {"first active at byte 0", 0, all_false(), all_true(), bytes_at({0}), N | C},
        });
}

} // namespace
