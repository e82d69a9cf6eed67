// Cost of one handler lookup, which every instruction of every basic block pays when a block is
// built and the trap runner pays on every SVE instruction it executes: SVE words of every row
// asked again and again (served from the lookup's cache), SVE words each asked once (the ordered
// search of up to 44 tables), and non-SVE words, rejected at once.
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

// Far more distinct words than the cache holds, so nearly every lookup searches the tables.
std::vector<uint32_t> sve_words_seen_once() {
    std::mt19937 rng(3);
    std::vector<uint32_t> words;
    while (words.size() < (1u << 20))
        for (const ostrel::DecodeRow &row : ostrel::kDecodeRows)
            words.push_back(row.fixed_bits() | (rng() & ~row.fixed_mask()));
    return words;
}

void BM_LookupSveWordFirstSeen(benchmark::State &state) {
    look_up_in_turn(state, sve_words_seen_once());
}
BENCHMARK(BM_LookupSveWordFirstSeen);

void BM_LookupNonSveWord(benchmark::State &state) {
    look_up_in_turn(state, non_sve_words());
}
BENCHMARK(BM_LookupNonSveWord);

} // namespace
