#include "sve/client/emulate.h"

#include "sve/client/mix_counters.h"

#include <cstdio>
#include <cstring>

namespace ostrel {

aarch64_decode_rc emulate_sve_instruction(cpu_state *state, unsigned int encoding,
                                          unsigned char *pc, sve_handler_t handler,
                                          ParkedRegisters *parked) {
    state->pc = pc;
    if (parked) {
        state->x[26] = parked->x26;
        state->x[27] = parked->x27;
        state->x[28] = parked->x28;
    }
    const aarch64_decode_rc rc = handler(state, encoding);
    mix::count_if_enabled(handler, rc, encoding, pc);
    if (rc != DECODE_OK) {
        // The word is read again from the instruction's address: that is what the user can find
        // in a disassembly of the program, whatever encoding the front end passed.
        uint32_t word;
        std::memcpy(&word, pc, sizeof word);
        std::fprintf(stderr, "Error: failed to emulate SVE instruction 0x%08x at PC %p\n", word,
                     static_cast<void *>(pc));
    }
    if (parked) {
        parked->x26 = state->x[26];
        parked->x27 = state->x[27];
        parked->x28 = state->x[28];
    }
    return rc;
}

} // namespace ostrel
