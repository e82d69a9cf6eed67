#include "sve/decode/unbuilt.h"

#include <cstddef>
#include <cstdio>

namespace ostrel::decode {

aarch64_decode_rc report_unbuilt(const cpu_state *state, unsigned int encoding, const char *name) {
    std::fprintf(stderr, "Unimplemented instruction: [  %tx:\t %08x\t %s  ]\n",
                 reinterpret_cast<std::ptrdiff_t>(state->pc), encoding, name);
    return DECODE_UNIMPLEMENTED;
}

} // namespace ostrel::decode
