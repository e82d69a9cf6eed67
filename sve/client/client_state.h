// Process-wide state of the instrumentation client, written once while the client starts.
#pragma once

#include "dr_api.h"

namespace ostrel::client {

// The drmgr thread-local field that holds each application thread's cpu_state.
extern int tls_idx;

// Framework spill slots: the application's X27 across an emulation sequence (X27 holds the
// register file's address there), and the scratch register of an FPCR write's mirror.
constexpr dr_spill_slot_t kSlotX27 = SPILL_SLOT_2;
constexpr dr_spill_slot_t kSlotMirrorScratch = SPILL_SLOT_3;

} // namespace ostrel::client
