// Table rows for the library's tests: an FPCR, operands, the expected result and flags.
#pragma once

#include "sve/fplib/fplib.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ostrel::fplib::test {

// FPCR values by name.
constexpr uint32_t RN = 0, RP = 1u << 22, RM = 2u << 22, RZ = 3u << 22;
constexpr uint32_t FZ = FPSCR_FZ, FZ16 = FPSCR_FZ16, DN = FPSCR_DN, AHP = FPSCR_AHP;
constexpr int IOC = FPSCR_IOC, DZC = FPSCR_DZC, OFC = FPSCR_OFC, UFC = FPSCR_UFC, IXC = FPSCR_IXC,
              IDC = FPSCR_IDC;

template <class T> struct Row {
    uint32_t fpcr;
    T a, b, c;
    T expected;
    int flags;
};

// Flags an operation added to a fresh FPSCR built from `fpcr`.
inline int new_flags(FPSCR after, uint32_t fpcr) {
    return static_cast<int>(after & ~fpcr);
}

} // namespace ostrel::fplib::test
