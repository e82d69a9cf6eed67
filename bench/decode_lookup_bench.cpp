// Cost of one handler lookup, which every instruction of every basic block pays when a block is
// built: SVE words found in the last tables tried, and non-SVE words that miss all 44.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "sve/decode/decode_rows.h"

namespace {

std::vector<uint32_t> sve_words() {
    std::mt19937 rng(1);
    std::vector<uint32_t> words;
    for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
        words.push_back(row.fixed_bits() | (rng() & ~row.fixed_mask()));
    return words;
}

std::vector<uint32_t> non_sve_words() {
    std::mt19937 rng(2);
    std::vector<uint32_t> words;
    while (words.size() < 4096) {
        uint32_t w = rng();
        if ((w & 0x1e000000u) != 0x04000000u) words.push_back(w);
    }
    return words;
}

void look_up_in_turn(benchmark::State &state, const std::vector<uint32_t> &words) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(get_sve_handler(words[i]));
        i = i + 1 == words.size() ? 0 : i + 1;
    }
}

void BM_LookupSveWord(benchmark::State &state) {
    look_up_in_turn(state, sve_words());
}
BENCHMARK(BM_LookupSveWord);

void BM_LookupNonSveWord(benchmark::State &state) {
    look_up_in_turn(state, non_sve_words());
}
BENCHMARK(BM_LookupNonSveWord);

} // namespace
