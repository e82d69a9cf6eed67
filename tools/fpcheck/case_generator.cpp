#include "tools/fpcheck/case_generator.h"

#include <algorithm>

namespace ostrel::fpcheck {

namespace {

// splitmix64: small, fast, and the same sequence everywhere for a seed.
struct Rng {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    uint64_t below(uint64_t n) { return next() % n; }
    int range(int lo, int hi) { return lo + static_cast<int>(below(uint64_t(hi - lo + 1))); }
};

struct Format {
    int bits, exp_bits, frac_bits;
    int bias() const { return (1 << (exp_bits - 1)) - 1; }
    int exp_max() const { return (1 << exp_bits) - 1; }
    uint64_t frac_mask() const { return (uint64_t(1) << frac_bits) - 1; }
    uint64_t pack(uint64_t sign, int exp, uint64_t frac) const {
        return sign << (bits - 1) | uint64_t(exp) << frac_bits | (frac & frac_mask());
    }
    int exp_of(uint64_t x) const { return static_cast<int>((x >> frac_bits) & exp_max()); }
};

Format format_of(int bits) {
    if (bits == 16) return {16, 5, 10};
    if (bits == 32) return {32, 8, 23};
    return {64, 11, 52};
}

// Zeros, denormals, the ends of the normal range, small integers, infinities and NaNs with
// payloads, and the neighbours of powers of two.
uint64_t boundary_value(Rng &rng, const Format &f) {
    const uint64_t sign = rng.below(2);
    const uint64_t quiet = uint64_t(1) << (f.frac_bits - 1);
    switch (rng.below(14)) {
    case 0:
        return f.pack(sign, 0, 0);
    case 1:
        return f.pack(sign, 0, 1 + rng.below(3));
    case 2:
        return f.pack(sign, 0, f.frac_mask() - rng.below(3));
    case 3:
        return f.pack(sign, 1, rng.below(3));
    case 4:
        return f.pack(sign, f.exp_max() - 1, f.frac_mask() - rng.below(3));
    case 5:
        return f.pack(sign, f.bias() + rng.range(0, 3), rng.below(2) ? 0 : quiet);
    case 6:
        return f.pack(sign, f.exp_max(), 0);
    case 7:
        return f.pack(sign, f.exp_max(), quiet | (rng.below(2) ? 0 : rng.next()));
    case 8:
        return f.pack(sign, f.exp_max(), std::max<uint64_t>(1, rng.next() & (quiet - 1)));
    case 9: // one ulp either side of a power of two
        return f.pack(sign, rng.range(1, f.exp_max() - 1), rng.below(2) ? 1 : f.frac_mask());
    case 10:
        return f.pack(sign, rng.range(1, f.exp_max() - 1), 0) - (rng.below(2) ? 1 : 0);
    case 11: // few significant bits: exact products and halfway sums
        return f.pack(sign, rng.range(1, f.exp_max() - 1),
                      rng.next() & ~(f.frac_mask() >> rng.range(1, f.frac_bits)));
    case 12: // around one, where most exact and tie cases live
        return f.pack(sign, f.bias() + rng.range(-3, 3), rng.next());
    default:
        return f.pack(sign, 0, rng.next());
    }
}

uint64_t random_float(Rng &rng, const Format &f) {
    const uint64_t r = rng.below(10);
    if (r < 4) return boundary_value(rng, f);
    if (r < 6) return f.pack(rng.below(2), rng.range(0, f.exp_max()), rng.next());
    const uint64_t bits = rng.next();
    return f.bits == 64 ? bits : bits & ((uint64_t(1) << f.bits) - 1);
}

// A value whose exponent lies within `spread` of `exp`, clamped to the format.
uint64_t float_near_exponent(Rng &rng, const Format &f, int exp, int spread) {
    const int e = std::clamp(exp + rng.range(-spread, spread), 0, f.exp_max() - 1);
    uint64_t frac = rng.next();
    if (rng.below(3) == 0) frac &= ~(f.frac_mask() >> rng.range(1, f.frac_bits));
    return f.pack(rng.below(2), e, frac);
}

// Source values that round to the destination at and around halfway points.
uint64_t narrowing_source(Rng &rng, const Format &from, const Format &to) {
    if (rng.below(3) == 0) return random_float(rng, from);
    const int dropped = from.frac_bits - to.frac_bits;
    const int exp = from.bias() - to.bias() + rng.range(-to.frac_bits - 2, to.exp_max() + 1);
    uint64_t x = from.pack(rng.below(2), std::clamp(exp, 1, from.exp_max() - 1), rng.next());
    const uint64_t half = uint64_t(1) << (dropped - 1);
    const uint64_t patterns[] = {0, half, half - 1, half + 1, 1, (half << 1) - 1};
    x = (x & ~((half << 1) - 1)) | patterns[rng.below(6)];
    return x;
}

// Float-to-integer sources: magnitudes around the integer range, often with halves.
uint64_t to_integer_source(Rng &rng, const Format &f, int int_bits, int fbits) {
    if (rng.below(4) == 0) return random_float(rng, f);
    const int e = f.bias() + rng.range(-3 - fbits, int_bits + 1 - fbits);
    uint64_t frac = rng.next();
    if (rng.below(2)) frac &= ~(f.frac_mask() >> rng.range(1, f.frac_bits)); // short: ties
    return f.pack(rng.below(2), std::clamp(e, 0, f.exp_max() - 1), frac);
}

// Integer sources: every length, the extremes, and low bits at the rounding point of the result.
uint64_t integer_source(Rng &rng, int int_bits, int dst_frac_bits) {
    const uint64_t mask = int_bits == 64 ? ~uint64_t(0) : (uint64_t(1) << int_bits) - 1;
    uint64_t x;
    switch (rng.below(5)) {
    case 0: {
        const uint64_t edges[] = {0, 1, mask, mask >> 1, (mask >> 1) + 1, 2, mask - 1};
        x = edges[rng.below(7)];
        break;
    }
    case 1: { // halfway below the result's precision
        if (dst_frac_bits + 2 > int_bits) {
            x = rng.next();
            break;
        }
        const int length = rng.range(dst_frac_bits + 2, int_bits);
        const int cut = length - dst_frac_bits - 1;
        x = (rng.next() >> (64 - length)) | uint64_t(1) << (length - 1);
        x = (x >> cut << cut) | (uint64_t(1) << (cut - 1)) | (rng.below(2) ? 1 : 0);
        break;
    }
    default:
        x = rng.next() >> rng.below(64);
        break;
    }
    if (rng.below(3) == 0) x = ~x + 1; // negative values for the signed forms
    return x & mask;
}

uint32_t random_fpcr(Rng &rng) {
    return static_cast<uint32_t>(rng.below(4) << 22) | (rng.below(2) ? kFpcrFz : 0) |
           (rng.below(2) ? kFpcrFz16 : 0) | (rng.below(2) ? kFpcrDn : 0) |
           (rng.below(2) ? kFpcrAhp : 0);
}

// The FPCR fields that can change an exhaustively run operation's result.
uint32_t relevant_fpcr_fields(const OpInfo &op) {
    switch (op.kind) {
    case OpKind::CONVERT:
        return kFpcrRMode | kFpcrFz | kFpcrFz16 | kFpcrDn | kFpcrAhp;
    case OpKind::TOINT_SIMD:
    case OpKind::TOINT_GPR:
        return kFpcrFz16; // always rounds toward zero
    case OpKind::FROMINT_SIMD:
        return kFpcrRMode | kFpcrFz16;
    default:
        return kFpcrRMode | kFpcrFz16 | kFpcrDn;
    }
}

// Every value of the fields in `fields` (each subset of their bits).
std::vector<uint32_t> fpcr_combinations(uint32_t fields) {
    std::vector<uint32_t> all{0};
    for (int bit = 0; bit < 32; ++bit) {
        if (!(fields >> bit & 1)) continue;
        const size_t n = all.size();
        for (size_t i = 0; i < n; ++i)
            all.push_back(all[i] | 1u << bit);
    }
    return all;
}

} // namespace

std::vector<CheckCase> random_cases(const OpInfo &op, uint64_t count, uint64_t seed) {
    Rng rng{seed ^ (uint64_t(op.id) + 1) * 0x2545f4914f6cdd1dull};
    const Format src = format_of(op.src_bits);
    const Format dst = format_of(op.dst_bits);
    std::vector<CheckCase> cases(count);
    for (CheckCase &c : cases) {
        c.fpcr = random_fpcr(rng);
        c.fbits =
            op.fbits_max && rng.below(3) ? static_cast<uint32_t>(rng.range(1, op.fbits_max)) : 0;
        switch (op.kind) {
        case OpKind::CONVERT:
            c.a = op.dst_bits < op.src_bits ? narrowing_source(rng, src, dst)
                                            : random_float(rng, src);
            break;
        case OpKind::TOINT_SIMD:
        case OpKind::TOINT_GPR:
            c.a = to_integer_source(rng, src, op.dst_bits, static_cast<int>(c.fbits));
            break;
        case OpKind::FROMINT_SIMD:
        case OpKind::FROMINT_GPR:
            c.a = integer_source(rng, op.src_bits, dst.frac_bits);
            break;
        default:
            c.a = random_float(rng, src);
            c.b = rng.below(2) ? random_float(rng, src)
                               : float_near_exponent(rng, src, src.exp_of(c.a), 3);
            c.c = random_float(rng, src);
            if (op.kind == OpKind::FLOAT3 && rng.below(2)) {
                // An addend of the product's size: cancellation and ties in the sum.
                const int product_exp = src.exp_of(c.b) + src.exp_of(c.c) - src.bias();
                c.a = float_near_exponent(rng, src, product_exp, 2);
            }
            break;
        }
    }
    return cases;
}

bool has_exhaustive_cases(const OpInfo &op) {
    return arity(op.kind) == 1 && op.src_bits == 16;
}

std::vector<CheckCase> exhaustive_cases(const OpInfo &op) {
    std::vector<CheckCase> cases;
    const std::vector<uint32_t> modes = fpcr_combinations(relevant_fpcr_fields(op));
    cases.reserve(size_t(65536) * modes.size() * size_t(op.fbits_max + 1));
    for (uint32_t fbits = 0; fbits <= static_cast<uint32_t>(op.fbits_max); ++fbits)
        for (uint32_t fpcr : modes)
            for (uint32_t x = 0; x < 65536; ++x)
                cases.push_back({x, 0, 0, fpcr, fbits});
    return cases;
}

} // namespace ostrel::fpcheck
