// An ordinary program built with plain -O2 for SVE: the compiler vectorises the loops of `main`
// itself, so one function holds well over a hundred SVE instructions in long blocks.
#include <stdint.h>
#include <stdio.h>

enum { kLength = 777 };

int32_t a[kLength], b[kLength], c[kLength], d[kLength];
int64_t wide[kLength];
int16_t h[kLength], g[kLength];
uint8_t bytes[kLength], flags[kLength];

int main(void) {
    for (int i = 0; i < kLength; ++i) {
        a[i] = i * 7 - 300;
        b[i] = (i * 13) ^ 0x55;
        h[i] = (int16_t)(i * 31 - 9000);
        bytes[i] = (uint8_t)(i * 5);
    }
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < kLength; ++i)
            c[i] = a[i] + b[i] * 3;
        for (int i = 0; i < kLength; ++i)
            d[i] = c[i] - (a[i] >> 2);
        for (int i = 0; i < kLength; ++i)
            a[i] = (c[i] & 0xfff) | (d[i] << 3);
        for (int i = 0; i < kLength; ++i)
            b[i] = b[i] ^ d[i] ^ round;
        for (int i = 0; i < kLength; ++i)
            wide[i] = (int64_t)c[i] * 5 - round;
        for (int i = 0; i < kLength; ++i)
            g[i] = (int16_t)(h[i] + (int16_t)round * 3);
        for (int i = 0; i < kLength; ++i)
            h[i] = (int16_t)(g[i] - (h[i] >> 1));
        for (int i = 0; i < kLength; ++i)
            flags[i] = (uint8_t)(bytes[i] + round);
        for (int i = 0; i < kLength; ++i)
            bytes[i] = (uint8_t)(flags[i] * 3 + bytes[i]);
        for (int i = 0; i < kLength; ++i)
            c[i] = c[i] < 0 ? -c[i] : c[i];
        for (int i = 0; i < kLength; ++i)
            d[i] = d[i] > c[i] ? d[i] : c[i];
        for (int i = 0; i < kLength; ++i)
            a[i] = a[i] * b[i] + 1;
    }
    uint64_t sum = 0;
    for (int i = 0; i < kLength; ++i)
        sum = sum * 31 + (uint32_t)a[i] + (uint32_t)b[i] * 3u + (uint32_t)c[i] * 5u +
              (uint32_t)d[i] * 7u + (uint64_t)wide[i] + (uint16_t)h[i] + (uint16_t)g[i] + bytes[i] +
              flags[i];
    printf("checksum: %016llx\n", (unsigned long long)sum);
    return 0;
}
