// Random cases for one decode row, deterministic from a seed: the same (seed, row, index) gives
// the same case on every host and in every process, so the host can regenerate a case instead
// of keeping it while its results are on the way.
#pragma once

#include <cstdint>

#include "sve/decode/decode_rows.h"
#include "tools/oracle/case_io.h"

namespace ostrel::oracle {

// Memory cases address a point half a page past the middle of the window, so that every offset
// the generator chooses stays inside the window (a non-fault load's immediate of -8 or 7 at 2048
// bits ends exactly at that page's start or end), and a non-fault or first-fault transfer from
// there stays inside one 4 KiB page: the reference declines to load such elements on a second
// page even when it is readable, which the architecture allows and the emulator does not do.
constexpr uint64_t kWindowMiddle = kWindowAddress + kWindowBytes / 2 + 2048;
// Structure accesses of several registers, whose immediates reach further, start here.
constexpr uint64_t kWindowCentre = kWindowAddress + kWindowBytes / 2;
// Where the instruction is taken to be; nothing the instructions compute depends on it.
constexpr uint64_t kCasePc = 0x400000;

// A case at the process's vector length, which it records for the runners.
Case generate_case(const DecodeRow &row, uint64_t seed, uint32_t index);

} // namespace ostrel::oracle
