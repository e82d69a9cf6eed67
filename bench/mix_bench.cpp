// The instruction mix's cost on the emulation path: the shared entry emulating an unpredicated
// ADD (a cheap instruction, so the counting shows) with the mix off, then on. The mix is process
// state that cannot be switched off again, so the "off" run must come first (as registered).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "sve/client/emulate.h"
#include "sve/client/mix_counters.h"
#include "sve/decode/decode_rows.h"

namespace {

constexpr uint32_t kAddWord = 0x04a20020; // add z0.s, z1.s, z2.s

void BM_EmulateWithMix(benchmark::State &state, bool mix_on) {
    if (mix_on) ostrel::mix::enable();
    const sve_handler_t handler = get_sve_handler(kAddWord);
    auto cpu = std::make_unique<cpu_state>();
    std::memset(cpu.get(), 0, sizeof *cpu);
    const uint32_t word = kAddWord;
    auto *pc = reinterpret_cast<unsigned char *>(const_cast<uint32_t *>(&word));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ostrel::emulate_sve_instruction(cpu.get(), word, pc, handler));
        benchmark::ClobberMemory();
    }
}

BENCHMARK_CAPTURE(BM_EmulateWithMix, off, false);
BENCHMARK_CAPTURE(BM_EmulateWithMix, on, true);

} // namespace
