// The runner's vector length must be the engine's: 1536 bits.
#pragma once

#include <string>

namespace ostrel::oracle::reference {

// Checks that SVE is there and sets the thread's vector length to kVectorBytes when it is not
// already; false with `error` set when that cannot be done.
bool ensure_vector_length(std::string &error);

} // namespace ostrel::oracle::reference
