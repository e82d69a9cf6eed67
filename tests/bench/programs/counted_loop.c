/* counted_loop ITERATIONS: runs the loop of counted_loop.h ITERATIONS times. */
#include <stdlib.h>

#include "counted_loop.h"

#define STRINGIFY(x) #x
#define TEXT(x) STRINGIFY(x)
#define BODY ".rept " TEXT(COUNTED_LOOP_BODY) "\n nop\n .endr\n"

int main(int argc, char **argv) {
    unsigned long n = argc > 1 ? strtoul(argv[1], 0, 10) : 1;
    if (n == 0) return 2;
    __asm__ volatile("1:\n" BODY "subs %0, %0, #1\n b.ne 1b\n" : "+r"(n) : : "cc");
    return 0;
}
