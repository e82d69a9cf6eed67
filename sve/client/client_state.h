// Process-wide state of the instrumentation client, written once while the client starts.
#pragma once

#include "dr_api.h"

namespace ostrel::client {

// The drmgr thread-local field that holds each application thread's cpu_state.
extern int tls_idx;

// Framework spill slots that park the application's X26, X27 and X28 across an emulation call.
constexpr dr_spill_slot_t kSlotX26 = SPILL_SLOT_1;
constexpr dr_spill_slot_t kSlotX27 = SPILL_SLOT_2;
constexpr dr_spill_slot_t kSlotX28 = SPILL_SLOT_3;

} // namespace ostrel::client
