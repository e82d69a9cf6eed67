// Byte movements of ZIP1, ZIP2 and UZP1 over a whole register, shared by the vector
// executors and the predicate executors: with one byte per predicate bit, a predicate permutation
// at 2^size-byte elements moves the same bytes as the vector permutation does.
#pragma once

#include <cstdint>

// dst may be one of the sources. size is the element-size code 0..3.
void sve_zip1(uint8_t *dst, const uint8_t *src1, const uint8_t *src2, uint32_t size);
void sve_zip2(uint8_t *dst, const uint8_t *src1, const uint8_t *src2, uint32_t size);
void sve_uzp1(uint8_t *dst, const uint8_t *src1, const uint8_t *src2, uint32_t size);
