// The instrumentation pass: every SVE instruction of a block is replaced by a call that emulates
// it on the thread's register file; writes of FPCR are mirrored into that file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dr_api.h"

namespace ostrel::client {

// The basic-block app2app event. The tag and both flags are not looked at: every build of a
// block, for traces and for translation too, gets the same code.
dr_emit_flags_t event_instruction_change(void *drcontext, void *tag, instrlist_t *bb,
                                         bool for_trace, bool translating);

// The number of instructions (labels aside) of the emulation sequence that replaces the SVE
// instruction `encoding`, built in a list of its own; 0 when no row knows the word.
std::size_t emulation_sequence_length(void *drcontext, uint32_t encoding);

} // namespace ostrel::client
