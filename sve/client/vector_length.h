// The SVE vector length of this process: chosen once at start-up (a front end's option or the
// environment), read by every executor, kernel bridge and trace record afterwards.
#pragma once

namespace ostrel {

constexpr unsigned kMaxVectorBytes = 256; // 2048 bits: the register file is always this wide
constexpr unsigned kMinVectorBits = 128;
constexpr unsigned kMaxVectorBits = 2048;
constexpr unsigned kDefaultVectorBits = 1536;

// The environment variable the front ends read the length from.
constexpr char kVectorLengthVariable[] = "OSTREL_VL";

// One line that says which lengths are accepted, for a front end's refusal message.
extern const char kVectorLengthRule[];

namespace detail {
// Written only by set_vector_length_bits, before any emulation.
extern unsigned g_vector_bytes;
} // namespace detail

// The process's vector length in bytes. Read it once per instruction, not per element.
inline unsigned vector_bytes() {
    return detail::g_vector_bytes;
}

// Accepts a decimal multiple of 128 in [128, 2048] and nothing else: no sign, no suffix, no
// surrounding text, no leading zeros beyond the number itself. False leaves *bits untouched.
bool parse_vector_length(const char *text, unsigned *bits);

// Called once at start-up, before emulation starts, with a length parse_vector_length accepts;
// any other length stops the process, since emulating at it would be wrong everywhere.
void set_vector_length_bits(unsigned bits);

} // namespace ostrel
