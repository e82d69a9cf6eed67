// Handlers expanded from the decode rows. A row whose decode function is not built yet reports
// itself and changes nothing; prefetches have nothing to emulate.
#include <cstddef>
#include <cstdio>

#include "sve/decode/handlers.h"

namespace ostrel {
namespace {
aarch64_decode_rc report_unbuilt(const cpu_state *state, unsigned int encoding, const char *name) {
    std::fprintf(stderr, "Unimplemented instruction: [  %tx:\t %08x\t %s  ]\n",
                 reinterpret_cast<std::ptrdiff_t>(state->pc), encoding, name);
    return DECODE_UNIMPLEMENTED;
}
} // namespace
} // namespace ostrel

#define UNBUILT(handler)                                                                           \
    aarch64_decode_rc handler(cpu_state *state, unsigned int encoding) {                           \
        return ostrel::report_unbuilt(state, encoding, #handler);                                  \
    }
#define HANDLER_EXEC(handler) UNBUILT(handler)
#define HANDLER_EXEC_FP(handler) UNBUILT(handler)
#define HANDLER_KERNEL(handler) UNBUILT(handler)
// Prefetches are hints: emulated, they do nothing.
#define HANDLER_NONE(handler)                                                                      \
    aarch64_decode_rc handler(cpu_state *, unsigned int) { return DECODE_OK; }

#define SVE_ROW(handler, table, key, road, target) HANDLER_##road(handler)
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
