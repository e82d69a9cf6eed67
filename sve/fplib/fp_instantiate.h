// Explicit instantiation of a one-container operation for the three widths.
#pragma once

#define FPLIB_INSTANTIATE_3(MACRO)                                                                 \
    MACRO(uint16_t)                                                                                \
    MACRO(uint32_t)                                                                                \
    MACRO(uint64_t)
