// ostrel-bench-engine: the engine side of the side-by-side benchmark, natively. Per class, from
// the same register image as the guest loop (its pointers into a host buffer), the median of five
// timings of the handler on a register file, and of the lookup plus the handler as the trap runner
// pays them for every SVE instruction it executes: "ID HANDLER_NS LOOKUP_AND_HANDLER_NS".
//   ostrel-bench-engine [--target-ms MS] [ID...]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/side_by_side/engine_state.h"
#include "sve/decode/decode_rows.h"

namespace {

using namespace ostrel::bench;
// The thread's processor time, not the wall clock: the machine is shared, and time spent waiting
// for a processor is no part of an instruction's cost (the guest side measures the same way).
double now_ns() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

double median_of(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Nanoseconds per call of `step` over `calls` calls from the start state.
template <typename Step> double time_calls(EngineSetup &setup, unsigned long calls, Step step) {
    setup.reset();
    const double start = now_ns();
    for (unsigned long i = 0; i < calls; ++i)
        step(setup.cpu(), setup.word());
    return (now_ns() - start) / static_cast<double>(calls);
}

int time_class(const BenchClass &c, double target_ns) {
    EngineSetup setup(c);
    const sve_handler_t handler = get_sve_handler(c.word);
    if (!handler) {
        std::fprintf(stderr, "ostrel-bench-engine: %s: no handler for 0x%08x\n", c.id, c.word);
        return 1;
    }
    setup.reset();
    if (handler(setup.cpu(), c.word) != DECODE_OK) {
        std::fprintf(stderr, "ostrel-bench-engine: %s: the handler failed\n", c.id);
        return 1;
    }
    const auto handler_only = [handler](cpu_state *cpu, uint32_t word) { handler(cpu, word); };
    const auto lookup_and_handler = [](cpu_state *cpu, uint32_t word) {
        get_sve_handler(word)(cpu, word);
    };
    unsigned long calls = 16;
    while (time_calls(setup, calls, lookup_and_handler) * calls < target_ns && calls < (1ul << 34))
        calls *= 2;
    std::vector<double> handler_ns, lookup_ns;
    for (int rep = 0; rep < 5; ++rep) {
        handler_ns.push_back(time_calls(setup, calls, handler_only));
        lookup_ns.push_back(time_calls(setup, calls, lookup_and_handler));
    }
    std::printf("%s %.3f %.3f\n", c.id, median_of(handler_ns), median_of(lookup_ns));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    double target_ms = 20;
    std::vector<const BenchClass *> chosen;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--target-ms") == 0 && i + 1 < argc) {
            target_ms = std::atof(argv[++i]);
            continue;
        }
        const BenchClass *c = find_bench_class(argv[i]);
        if (!c) {
            std::fprintf(stderr, "ostrel-bench-engine: no class %s\n", argv[i]);
            return 2;
        }
        chosen.push_back(c);
    }
    if (chosen.empty())
        for (const BenchClass &c : kBenchClasses)
            chosen.push_back(&c);
    int status = 0;
    for (const BenchClass *c : chosen)
        status |= time_class(*c, target_ms * 1e6);
    return status;
}
