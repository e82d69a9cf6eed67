/* The register image as the guest program's entry sequence reads it: X0..X27, Z0..Z31, then
 * P0..P15 and the FFR packed one bit per predicate bit (the layout of LDR Z and LDR P at a vector
 * length of 192 bytes). Offsets are macros so the assembly can use them. */
#ifndef OSTREL_BENCH_SIDE_BY_SIDE_GUEST_IMAGE_H
#define OSTREL_BENCH_SIDE_BY_SIDE_GUEST_IMAGE_H

#define GUEST_IMAGE_X 0
#define GUEST_IMAGE_Z (28 * 8)
#define GUEST_IMAGE_P (GUEST_IMAGE_Z + 32 * 192)
/* The FFR follows P15 as a seventeenth predicate. */
#define GUEST_IMAGE_FFR_INDEX 16
#define GUEST_IMAGE_BYTES (GUEST_IMAGE_P + 17 * 24)

#endif
