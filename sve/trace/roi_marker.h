// Region-of-interest markers: the application brackets the code it wants traced with
// ADD (immediate) on byte elements whose shifted immediate is one of these values. Adding the
// low byte (0) leaves the register unchanged, so the markers are harmless on real hardware.
#pragma once

#include <cstdint>

namespace ostrel {

constexpr uint64_t kRoiStartImmediate = 0x100; // #1, LSL #8
constexpr uint64_t kRoiStopImmediate = 0x200;  // #2, LSL #8

// Called by byte-element ADD (immediate) before its arithmetic with the immediate after its
// optional shift. A marker switches tracing for the calling thread and emits its marker record,
// whatever the previous state. Returns whether the immediate was a marker.
bool handle_roi_marker(uint64_t shifted_immediate);

} // namespace ostrel
