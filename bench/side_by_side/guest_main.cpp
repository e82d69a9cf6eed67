// sve_words: the guest side of the side-by-side benchmark, run under qemu-aarch64 with SVE at
// 1536 bits (or under the client, for counting).
//   sve_words time [--target-ms MS] [ID...]   per class, the median of five timings of its loop
//                                             minus the NOP loop: "ID NS" per instruction
//   sve_words run ID ITERATIONS [nop]         runs the class's loop (or, with nop, the NOP loop)
//                                             from the class's image, once, and exits
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench/side_by_side/guest_image.h"
#include "bench/side_by_side/register_image.h"

extern "C" {
using LoopFunction = void (*)();
void ostrel_bench_run(const void *image, LoopFunction loop, unsigned long iterations);
unsigned long ostrel_bench_vector_bytes();
#define OSTREL_BENCH_DECLARE(id, ...) void ostrel_bench_loop_##id();
OSTREL_BENCH_CLASSES(OSTREL_BENCH_DECLARE)
OSTREL_BENCH_DECLARE(nop)
#undef OSTREL_BENCH_DECLARE
}

namespace {

using namespace ostrel::bench;

struct Loop {
    const char *id;
    LoopFunction function;
};
#define OSTREL_BENCH_LOOP_ROW(id, ...) Loop{#id, ostrel_bench_loop_##id},
constexpr Loop kLoops[] = {OSTREL_BENCH_CLASSES(OSTREL_BENCH_LOOP_ROW)};
#undef OSTREL_BENCH_LOOP_ROW

LoopFunction loop_of(const char *id) {
    for (const Loop &l : kLoops)
        if (std::strcmp(l.id, id) == 0) return l.function;
    return nullptr;
}

struct GuestImage {
    uint64_t x[kImageXRegs];
    uint8_t z[32][kImageVectorBytes];
    uint8_t p[17][kImageVectorBytes / 8]; // P0..P15, FFR
};
static_assert(offsetof(GuestImage, z) == GUEST_IMAGE_Z);
static_assert(offsetof(GuestImage, p) == GUEST_IMAGE_P);
static_assert(sizeof(GuestImage) == GUEST_IMAGE_BYTES);

void pack_predicate(const bool (&bits)[kImageVectorBytes], uint8_t *packed) {
    std::memset(packed, 0, kImageVectorBytes / 8);
    for (unsigned i = 0; i < kImageVectorBytes; ++i)
        if (bits[i]) packed[i / 8] |= static_cast<uint8_t>(1u << (i % 8));
}

// The class's image and the buffer its pointers address, kept alive together.
struct GuestSetup {
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kBufferBytes);
    GuestImage image{};

    explicit GuestSetup(const BenchClass &c) {
        RegisterImage full{};
        build_register_image(c, buffer.data(), full);
        std::memcpy(image.x, full.x, sizeof image.x);
        std::memcpy(image.z, full.z, sizeof image.z);
        for (unsigned r = 0; r < 16; ++r)
            pack_predicate(full.p[r], image.p[r]);
        pack_predicate(full.ffr, image.p[GUEST_IMAGE_FFR_INDEX]);
    }
};

// The thread's processor time, not the wall clock: the machine is shared, and time spent waiting
// for a processor is no part of an instruction's cost.
double now_ns() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

double time_loop(const GuestSetup &setup, LoopFunction loop, unsigned long iterations) {
    const double start = now_ns();
    ostrel_bench_run(&setup.image, loop, iterations);
    return now_ns() - start;
}

// Nanoseconds per instruction of the class beyond a NOP in its place.
double time_class(const BenchClass &c, double target_ns) {
    const GuestSetup setup(c);
    const LoopFunction loop = loop_of(c.id);
    // The first runs also translate both loops, which no measurement below includes.
    unsigned long iterations = 4;
    time_loop(setup, ostrel_bench_loop_nop, iterations);
    while (time_loop(setup, loop, iterations) < target_ns && iterations < (1ul << 30))
        iterations *= 2;
    std::vector<double> per_instruction;
    for (int rep = 0; rep < 5; ++rep) {
        const double with_class = time_loop(setup, loop, iterations);
        const double with_nop = time_loop(setup, ostrel_bench_loop_nop, iterations);
        per_instruction.push_back((with_class - with_nop) /
                                  (static_cast<double>(iterations) * OSTREL_BENCH_COPIES));
    }
    std::sort(per_instruction.begin(), per_instruction.end());
    return per_instruction[per_instruction.size() / 2];
}

int usage() {
    std::fputs("usage: sve_words time [--target-ms MS] [ID...]\n"
               "       sve_words run ID ITERATIONS [nop]\n",
               stderr);
    return 2;
}

int time_classes(int argc, char **argv) {
    double target_ms = 20;
    std::vector<const BenchClass *> chosen;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--target-ms") == 0 && i + 1 < argc) {
            target_ms = std::atof(argv[++i]);
            continue;
        }
        const BenchClass *c = find_bench_class(argv[i]);
        if (!c) {
            std::fprintf(stderr, "sve_words: no class %s\n", argv[i]);
            return 2;
        }
        chosen.push_back(c);
    }
    if (chosen.empty())
        for (const BenchClass &c : kBenchClasses)
            chosen.push_back(&c);
    for (const BenchClass *c : chosen) {
        std::printf("%s %.3f\n", c->id, time_class(*c, target_ms * 1e6));
        std::fflush(stdout);
    }
    return 0;
}

// The NOP run builds the same image as the class's run, so the two differ in the loop only.
int run_once(const char *id, const char *iterations_text, bool nop) {
    const BenchClass *c = find_bench_class(id);
    const unsigned long iterations = std::strtoul(iterations_text, nullptr, 10);
    if (!c || iterations == 0) return usage();
    const GuestSetup setup(*c);
    ostrel_bench_run(&setup.image, nop ? ostrel_bench_loop_nop : loop_of(id), iterations);
    std::printf("%s%s: %lu iterations of %d copies\n", id, nop ? " (nop)" : "", iterations,
                OSTREL_BENCH_COPIES);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) return usage();
    if (ostrel_bench_vector_bytes() != kImageVectorBytes) {
        std::fprintf(stderr, "sve_words: the vector length is %lu bytes, not %u\n",
                     ostrel_bench_vector_bytes(), kImageVectorBytes);
        return 2;
    }
    if (std::strcmp(argv[1], "time") == 0) return time_classes(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "run") == 0 && argc == 4) return run_once(argv[2], argv[3], false);
    if (std::strcmp(argv[1], "run") == 0 && argc == 5 && std::strcmp(argv[4], "nop") == 0)
        return run_once(argv[2], argv[3], true);
    return usage();
}
