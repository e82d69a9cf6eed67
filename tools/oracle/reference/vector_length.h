// The runner's vector length must be the engine's: the one each case records.
#pragma once

#include <string>

namespace ostrel::oracle::reference {

// Checks that SVE is there; false with `error` set when it is not.
bool has_sve(std::string &error);

// Sets the thread's vector length to `bytes` when it is not that already; false with `error` set
// when that cannot be done.
bool ensure_vector_length(unsigned bytes, std::string &error);

} // namespace ostrel::oracle::reference
