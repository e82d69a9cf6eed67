#include "tools/oracle/comparator.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "tools/oracle/row_traits.h"

namespace ostrel::oracle {
namespace {

std::string hex(const uint8_t *bytes, unsigned count) {
    std::string out = "0x";
    char digits[3];
    for (unsigned i = count; i-- > 0;) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        out += digits;
    }
    return out;
}

std::string hex64(uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIx64, v);
    return text;
}

bool is_nan(const uint8_t *element, unsigned bytes) {
    if (bytes != 2 && bytes != 4 && bytes != 8) return false;
    uint64_t v = 0;
    for (unsigned i = 0; i < bytes; ++i)
        v |= uint64_t{element[i]} << (8 * i);
    const unsigned fraction_bits = bytes == 2 ? 10 : bytes == 4 ? 23 : 52;
    const unsigned exponent_bits = bytes * 8 - 1 - fraction_bits;
    const uint64_t exponent_max = (1ull << exponent_bits) - 1;
    return ((v >> fraction_bits) & exponent_max) == exponent_max &&
           (v & ((1ull << fraction_bits) - 1)) != 0;
}

// Walks the states in a fixed order and stops at the first difference no deviation allows.
class StateComparison {
  public:
    StateComparison(const DecodeRow &row, const Case &c, const DeviationList &deviations)
        : element_bytes_(row_traits(row).element_bytes),
          governing_(c.header.state.p[(c.header.encoding >> 10) & 7]) {
        for (const Deviation &d : deviations)
            if (std::regex_search(row.name, d.rows) && condition_holds(d.condition, row, c))
                granted_.push_back(d.state);
    }

    bool granted(StateKind kind) const {
        for (StateKind k : granted_)
            if (k == kind) return true;
        return false;
    }

    bool run(const Result &ref, const Result &eng, std::string &difference) {
        const ArchState &a = ref.header.state;
        const ArchState &b = eng.header.state;
        ffr_b_ = b.ffr;
        for (unsigned r = 0; r < 31; ++r)
            if (scalar(StateKind::x, "x" + std::to_string(r), a.x[r], b.x[r], difference))
                return true;
        if (scalar(StateKind::sp, "sp", a.sp, b.sp, difference) ||
            scalar(StateKind::nzcv, "nzcv", a.nzcv, b.nzcv, difference) ||
            scalar(StateKind::fpcr, "fpcr", a.fpcr, b.fpcr, difference) ||
            scalar(StateKind::fpsr, "fpsr", a.fpsr, b.fpsr, difference))
            return true;
        for (unsigned r = 0; r < 32; ++r)
            if (vector(r, a.z[r], b.z[r], difference)) return true;
        for (unsigned r = 0; r < 16; ++r)
            if (predicate(StateKind::p, "p" + std::to_string(r), a.p[r], b.p[r], difference))
                return true;
        if (predicate(StateKind::ffr, "ffr", a.ffr, b.ffr, difference)) return true;
        return memory(ref, eng, difference);
    }

  private:
    // Element i (of the row's element size) owns FFR bit i * size; the engine cleared it.
    bool engine_ffr_cleared(unsigned i) const { return !packed_bit(ffr_b_, i * element_bytes_); }
    bool inactive_element_bit(unsigned bit) const {
        return !packed_bit(governing_, bit / element_bytes_ * element_bytes_);
    }

    bool scalar(StateKind kind, const std::string &name, uint64_t a, uint64_t b,
                std::string &difference) const {
        if (a == b || granted(kind)) return false;
        difference = name + ": reference " + hex64(a) + ", engine " + hex64(b);
        return true;
    }

    bool vector(unsigned r, const uint8_t *a, const uint8_t *b, std::string &difference) const {
        const unsigned bytes = element_bytes_;
        for (unsigned i = 0; i < kStateVectorBytes; i += bytes) {
            bool same = true;
            for (unsigned k = 0; k < bytes; ++k)
                same = same && a[i + k] == b[i + k];
            if (same || granted(StateKind::z)) continue;
            if (granted(StateKind::z_nan_payload) && is_nan(a + i, bytes) && is_nan(b + i, bytes))
                continue;
            if (granted(StateKind::z_ffr_cleared) && engine_ffr_cleared(i / bytes)) continue;
            difference = "z" + std::to_string(r) + "[" + std::to_string(i / bytes) +
                         "]: reference " + hex(a + i, bytes) + ", engine " + hex(b + i, bytes);
            return true;
        }
        return false;
    }

    bool predicate(StateKind kind, const std::string &name, const uint8_t *a, const uint8_t *b,
                   std::string &difference) const {
        if (granted(kind)) return false;
        const unsigned bytes = element_bytes_ <= 8 ? element_bytes_ : 8;
        for (unsigned i = 0; i < kStateVectorBytes; ++i) {
            const bool x = packed_bit(a, i), y = packed_bit(b, i);
            if (x == y) continue;
            if (kind == StateKind::ffr && granted(StateKind::ffr_inactive) &&
                inactive_element_bit(i))
                continue;
            difference = name + "[" + std::to_string(i / bytes) + "] (bit " + std::to_string(i) +
                         "): reference " + std::to_string(x) + ", engine " + std::to_string(y);
            return true;
        }
        return false;
    }

    bool memory(const Result &ref, const Result &eng, std::string &difference) const {
        if (ref.memory.size() != eng.memory.size()) {
            difference = "memory: reference returned " + std::to_string(ref.memory.size()) +
                         " bytes, engine " + std::to_string(eng.memory.size());
            return true;
        }
        if (granted(StateKind::memory)) return false;
        for (std::size_t i = 0; i < ref.memory.size(); ++i) {
            if (ref.memory[i] == eng.memory[i]) continue;
            difference = "memory[" + hex64(kWindowAddress + i) + "]: reference " +
                         hex(&ref.memory[i], 1) + ", engine " + hex(&eng.memory[i], 1);
            return true;
        }
        return false;
    }

    unsigned element_bytes_;
    const uint8_t *governing_;
    const uint8_t *ffr_b_ = nullptr;
    std::vector<StateKind> granted_;
};

} // namespace

const char *outcome_name(Outcome outcome) {
    switch (outcome) {
    case Outcome::completed:
        return "completed";
    case Outcome::undefined:
        return "undefined";
    case Outcome::faulted:
        return "faulted";
    case Outcome::unimplemented:
        return "unimplemented";
    case Outcome::no_handler:
        return "no handler";
    }
    return "unknown outcome";
}

CaseJudgement judge_case(const DecodeRow &row, const Case &c, const Result &reference,
                         const Result &engine, const DeviationList &deviations) {
    const Outcome ref = reference.header.outcome;
    const Outcome eng = engine.header.outcome;
    auto mismatch = [](std::string text) {
        return CaseJudgement{Verdict::mismatch, std::move(text)};
    };
    if (ref == Outcome::undefined) return {Verdict::skipped, {}};
    if (eng == Outcome::unimplemented) return {Verdict::unimplemented, {}};
    if (ref != Outcome::completed && ref != Outcome::faulted)
        return mismatch(std::string("reference reported ") + outcome_name(ref));
    if (eng == Outcome::no_handler) return mismatch("engine has no handler for the encoding");
    StateComparison comparison(row, c, deviations);
    if (ref == Outcome::faulted || eng == Outcome::faulted) {
        if (ref == eng) return {Verdict::equal, {}}; // where a fault stops is not compared
        if (ref == Outcome::faulted && eng == Outcome::completed &&
            comparison.granted(StateKind::fault))
            return {Verdict::equal, {}};
        const Result &faulted = ref == Outcome::faulted ? reference : engine;
        return mismatch(std::string(ref == Outcome::faulted ? "reference" : "engine") +
                        " faulted at " + hex64(faulted.header.fault_address) + ", " +
                        (ref == Outcome::faulted ? "engine " : "reference ") + "completed");
    }
    if (eng != Outcome::completed)
        return mismatch(std::string("engine reported ") + outcome_name(eng));
    std::string difference;
    if (comparison.run(reference, engine, difference)) return mismatch(difference);
    return {Verdict::equal, {}};
}

} // namespace ostrel::oracle
