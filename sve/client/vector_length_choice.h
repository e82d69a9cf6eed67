// Which vector length a front end starts a program at: its own option when given, else the
// OSTREL_VL environment variable, else the default. A bad value is refused with one line that
// names where it came from, so the user knows which of the two to fix.
#pragma once

#include <string>

#include "sve/client/vector_length.h"

namespace ostrel {

struct VectorLengthChoice {
    unsigned bits = kDefaultVectorBits;
    bool chosen = false; // false: neither the option nor the variable was given
    std::string error;   // empty when the choice is good
};

// `option_name` is the option as the front end spells it ("--vl", "-vl"); `option_value` is its
// value, or null when the option was not given; `variable_value` is the environment variable's
// value, or null when it is unset. The option wins, so a variable it overrides is not looked at.
inline VectorLengthChoice choose_vector_length(const char *option_name, const char *option_value,
                                               const char *variable_value) {
    VectorLengthChoice choice;
    const bool from_option = option_value != nullptr;
    const char *text = from_option ? option_value : variable_value;
    if (text == nullptr) return choice;
    choice.chosen = true;
    if (!parse_vector_length(text, &choice.bits)) {
        const std::string source = from_option ? std::string(option_name) + " '"
                                               : std::string(kVectorLengthVariable) + "='";
        choice.error = source + text + "': " + kVectorLengthRule;
    }
    return choice;
}

} // namespace ostrel
