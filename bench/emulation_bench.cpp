// Cost of emulating one instruction: the handler the lookup returns, run on a cpu_state, as the
// emulation entry runs it. Memory forms address a buffer of their own.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "sve/decode/decode_rows.h"

namespace {

struct Instruction {
    const char *text;
    uint32_t encoding;
};

// Words from the cross assembler.
constexpr Instruction kInstructions[] = {
    {"add z3.h, p1/m, z3.h, z4.h", 0x04400483}, {"add z0.s, z1.s, z2.s", 0x04a20020},
    {"whilelo p0.s, x1, x2", 0x25a20c20},       {"incd x0", 0x04f0e3e0},
    {"ld1d {z0.d}, p0/z, [x0]", 0xa5e0a000},    {"st1d {z1.d}, p2, [x5, #1, mul vl]", 0xe5e1e8a1},
    {"uaddv d0, p0, z1.s", 0x04812020},
};

void BM_Emulate(benchmark::State &state, Instruction insn) {
    const ostrel::DecodeRow *row = ostrel::find_decode_row(insn.encoding);
    if (!row || row->state != ostrel::RowState::built) {
        state.SkipWithError("not built yet");
        return;
    }
    auto cpu = std::make_unique<cpu_state>();
    std::memset(cpu.get(), 0, sizeof *cpu);
    std::vector<uint8_t> memory(4096, 0x5a);
    for (auto &x : cpu->x)
        x = reinterpret_cast<uint64_t>(memory.data()) + 64;
    cpu->x[1] = 10;
    cpu->x[2] = 1000;
    for (auto &p : cpu->p)
        std::memset(p, 1, sizeof p);
    const uint32_t pc_word = insn.encoding;
    cpu->pc = reinterpret_cast<unsigned char *>(const_cast<uint32_t *>(&pc_word));
    for (auto _ : state) {
        benchmark::DoNotOptimize(row->handler(cpu.get(), insn.encoding));
        benchmark::ClobberMemory();
    }
    state.SetLabel(insn.text);
}

const bool registered = [] {
    for (const Instruction &insn : kInstructions) {
        const ostrel::DecodeRow *row = ostrel::find_decode_row(insn.encoding);
        benchmark::RegisterBenchmark((std::string("BM_Emulate/") + (row ? row->name : "?")).c_str(),
                                     BM_Emulate, insn);
    }
    return true;
}();

} // namespace
