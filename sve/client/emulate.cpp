#include "sve/client/emulate.h"

#include <cstdio>
#include <cstring>

namespace ostrel {

void report_emulation_failure(const unsigned char *pc) {
    uint32_t word;
    std::memcpy(&word, pc, sizeof word);
    std::fprintf(stderr, "Error: failed to emulate SVE instruction 0x%08x at PC %p\n", word,
                 static_cast<const void *>(pc));
}

} // namespace ostrel
