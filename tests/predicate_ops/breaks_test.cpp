// BRKA, BRKB (zeroing, merging, flag-setting), BRKN, BRKNS, BRKPA, BRKPB and their flag forms:
// breaks at the first and last byte, inactive bytes, and the flags against Pg or all-true.
#include "tests/predicate_ops/pred_ops_fixture.h"

using namespace ostrel;
using namespace ostrel::test;

namespace {

// Every case runs with Pd = P1, Pg = P2, Pn = P3, Pm = P4 and this NZCV word before.
constexpr uint64_t kNzcvBefore = V | 0x5a5;
constexpr uint64_t kNoFlags = ~uint64_t{0};

enum Op : uint32_t {
    BRKA_Z = 0x25104000,
    BRKA_M = 0x25104010,
    BRKAS = 0x25504000,
    BRKB_Z = 0x25904000,
    BRKB_M = 0x25904010,
    BRKBS = 0x25d04000,
    BRKN = 0x25184000,
    BRKNS = 0x25584000,
    BRKPA = 0x2500c000,
    BRKPAS = 0x2540c000,
    BRKPB = 0x2500c010,
    BRKPBS = 0x2540c010,
};

bool has_pm(Op op) {
    return op == BRKPA || op == BRKPAS || op == BRKPB || op == BRKPBS;
}

struct BreakCase {
    const char *what;
    Op op;
    Pred pg, pn, pm, old_pd;
    Pred expect;
    uint64_t flags; // kNoFlags: NZCV must stay as it was
};

void run_cases(const std::vector<BreakCase> &cases) {
    for (const BreakCase &c : cases) {
        SCOPED_TRACE(c.what);
        auto s = garbage_state(7);
        s->nzcv = kNzcvBefore;
        set_pred(*s, 1, c.old_pd);
        set_pred(*s, 2, c.pg);
        set_pred(*s, 3, c.pn);
        set_pred(*s, 4, c.pm);
        const uint32_t enc = c.op | (has_pm(c.op) ? 4u << 16 : 0u) | 2u << 10 | 3u << 5 | 1u;
        ASSERT_EQ(emulate(*s, enc), DECODE_OK);
        EXPECT_EQ(predicate(*s, 1), c.expect);
        const uint64_t nzcv =
            c.flags == kNoFlags ? kNzcvBefore : (kNzcvBefore & ~kFlagBits) | c.flags;
        EXPECT_EQ(s->nzcv, nzcv);
        EXPECT_EQ(predicate(*s, 3), c.pn) << "sources stay";
    }
}

TEST(Breaks, BreakOnFirstTrue) {
    const Pred none = all_false(), all = all_true();
    run_cases({
        {"brka, true at byte 0", BRKA_Z, all, bytes_at({0}), none, all, bytes_at({0}), kNoFlags},
        {"brkb, true at byte 0", BRKB_Z, all, bytes_at({0}), none, all, none, kNoFlags},
        {"brka, true at byte 2", BRKA_Z, all, bytes_at({2, 7}), none, none, byte_range(0, 2),
         kNoFlags},
        {"brkb, true at byte 2", BRKB_Z, all, bytes_at({2, 7}), none, none, byte_range(0, 1),
         kNoFlags},
        {"brka, true at the last byte", BRKA_Z, all, bytes_at({191}), none, none, all, kNoFlags},
        {"brkb, true at the last byte", BRKB_Z, all, bytes_at({191}), none, none,
         byte_range(0, 190), kNoFlags},
        {"brka, nothing true", BRKA_Z, all, none, none, none, all, kNoFlags},
        {"brkb, nothing true", BRKB_Z, all, none, none, none, all, kNoFlags},
        // A true byte of Pn that Pg does not govern does not break.
        {"brka, zeroing, partial Pg", BRKA_Z, byte_range(10, 20), bytes_at({5, 15}), none,
         bytes_at({0, 100}), byte_range(10, 15), kNoFlags},
        {"brkb, zeroing, partial Pg", BRKB_Z, byte_range(10, 20), bytes_at({5, 15}), none,
         bytes_at({0, 100}), byte_range(10, 14), kNoFlags},
        {"brka, merging keeps inactive bytes", BRKA_M, byte_range(10, 20), bytes_at({5, 15}), none,
         bytes_at({0, 16, 100}),
         [] {
             Pred p = byte_range(10, 15);
             p[0] = p[100] = 1;
             return p;
         }(),
         kNoFlags},
        {"brkb, merging keeps inactive bytes", BRKB_M, byte_range(10, 20), bytes_at({15}), none,
         all,
         [] {
             Pred p = all_true();
             for (unsigned b = 15; b <= 20; ++b)
                 p[b] = 0;
             return p;
         }(),
         kNoFlags},
        {"brkb, merging, Pg all false", BRKB_M, none, all, none, bytes_at({3}), bytes_at({3}),
         kNoFlags},
    });
}

TEST(Breaks, FlagSettingBreaks) {
    const Pred none = all_false(), all = all_true();
    run_cases({
        // Result {0}: first active set, last active (191) clear.
        {"brkas at byte 0", BRKAS, all, bytes_at({0}), none, all, bytes_at({0}), N | C},
        {"brkbs at byte 0", BRKBS, all, bytes_at({0}), none, all, none, Z | C},
        {"brkas at the last byte", BRKAS, all, bytes_at({191}), none, none, all, N},
        {"brkbs at the last byte", BRKBS, all, bytes_at({191}), none, none, byte_range(0, 190),
         N | C},
        {"brkas, Pg all false", BRKAS, none, all, none, all, none, Z | C},
        // Zeroing: inactive bytes are 0 even though Pd had them set.
        {"brkbs, partial Pg", BRKBS, byte_range(100, 191), bytes_at({150}), none, all,
         byte_range(100, 149), N | C},
    });
}

TEST(Breaks, BreakNext) {
    const Pred none = all_false();
    const Pred pdm = bytes_at({0, 191});
    run_cases({
        {"brkn keeps Pdm", BRKN, byte_range(10, 20), bytes_at({20}), none, pdm, pdm, kNoFlags},
        {"brkn clears Pdm", BRKN, byte_range(10, 20), bytes_at({19, 21}), none, pdm, none,
         kNoFlags},
        {"brkn, Pg all false", BRKN, none, all_true(), none, pdm, none, kNoFlags},
        // Flags from Pdm against an all-true mask: N = byte 0, C = NOT byte 191.
        {"brkns keeps Pdm", BRKNS, byte_range(10, 20), bytes_at({20}), none, pdm, pdm, N},
        {"brkns keeps a middle byte", BRKNS, bytes_at({191}), bytes_at({191}), none, bytes_at({5}),
         bytes_at({5}), C},
        {"brkns clears Pdm", BRKNS, byte_range(10, 20), bytes_at({19}), none, pdm, none, Z | C},
    });
}

TEST(Breaks, BreakPropagated) {
    const Pred none = all_false(), all = all_true();
    run_cases({
        {"brkpa, Pm true at byte 5", BRKPA, all, bytes_at({191}), bytes_at({5}), none,
         byte_range(0, 5), kNoFlags},
        {"brkpb, Pm true at byte 5", BRKPB, all, bytes_at({191}), bytes_at({5}), none,
         byte_range(0, 4), kNoFlags},
        {"brkpa, Pm true at byte 0", BRKPA, all, bytes_at({191}), bytes_at({0}), none,
         bytes_at({0}), kNoFlags},
        {"brkpb, Pm true at byte 0", BRKPB, all, bytes_at({191}), bytes_at({0}), none, none,
         kNoFlags},
        {"brkpb, Pm true at the last byte", BRKPB, all, bytes_at({191}), bytes_at({191}), none,
         byte_range(0, 190), kNoFlags},
        // Pn is false at Pg's last active byte: nothing propagates.
        {"brkpa, previous partition ended", BRKPA, all, bytes_at({190}), none, all, none, kNoFlags},
        {"brkpb, Pg all false", BRKPB, none, all, none, all, none, kNoFlags},
        // Pm true only where Pg is inactive: no break inside Pg.
        {"brkpb, Pm outside Pg", BRKPB, byte_range(10, 20), bytes_at({20}), bytes_at({0, 30}), none,
         byte_range(10, 20), kNoFlags},
        {"brkpas", BRKPAS, all, bytes_at({191}), bytes_at({5}), none, byte_range(0, 5), N | C},
        {"brkpbs, break at the first active byte", BRKPBS, byte_range(10, 20), bytes_at({20}),
         bytes_at({10}), none, none, Z | C},
        {"brkpas, break at the first active byte", BRKPAS, byte_range(10, 20), bytes_at({20}),
         bytes_at({10}), none, bytes_at({10}), N | C},
        {"brkpbs, no break", BRKPBS, byte_range(10, 20), bytes_at({20}), bytes_at({0}), none,
         byte_range(10, 20), N},
        {"brkpbs, previous partition ended", BRKPBS, all, none, none, all, none, Z | C},
    });
}

} // namespace
