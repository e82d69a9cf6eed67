// What a decode function does while its executor or kernel is not built: it reports itself in the
// executors' own format, changes nothing and fails as unimplemented.
#pragma once

#include "sve/client/cpu_state.h"

namespace ostrel::decode {
aarch64_decode_rc report_unbuilt(const cpu_state *state, unsigned int encoding, const char *name);
} // namespace ostrel::decode
