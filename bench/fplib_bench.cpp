// The software floating-point library: nanoseconds per operation for add, multiply, fused
// multiply-add, divide, square root and conversion, per width, on normal operands of mixed
// magnitudes under round-to-nearest. Each operation gets a fresh FPSCR and its flags are gathered
// afterwards, as the vector kernels do per element.
#include "sve/fplib/fplib.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using namespace ostrel::fplib;

constexpr size_t kOperands = 1024; // a power of two: the index wraps with a mask

// Normal values with exponents within 8 of 1.0, both signs, random fractions.
template <class T> std::vector<T> operands(uint64_t seed) {
    constexpr int F = sizeof(T) == 2 ? 10 : sizeof(T) == 4 ? 23 : 52;
    constexpr int bias = sizeof(T) == 2 ? 15 : sizeof(T) == 4 ? 127 : 1023;
    std::vector<T> values(kOperands);
    uint64_t x = seed;
    for (T &v : values) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        const uint64_t sign = (x >> 63) & 1,
                       exp = uint64_t(bias - 8 + static_cast<int>((x >> 59) & 15));
        const uint64_t frac = (x >> 3) & ((uint64_t(1) << F) - 1);
        v = static_cast<T>(sign << (sizeof(T) * 8 - 1) | exp << F | frac);
    }
    return values;
}

template <class T, T (*Op)(T, T, FPSCR &)> void binary(benchmark::State &state) {
    const std::vector<T> a = operands<T>(1), b = operands<T>(2);
    uint32_t gathered = 0;
    size_t i = 0;
    for (auto _ : state) {
        FPSCR fpscr = 0;
        benchmark::DoNotOptimize(Op(a[i], b[i], fpscr));
        gathered |= fpscr;
        i = (i + 1) & (kOperands - 1);
    }
    benchmark::DoNotOptimize(gathered);
    state.SetItemsProcessed(state.iterations());
}

template <class T> void fused_multiply_add(benchmark::State &state) {
    const std::vector<T> a = operands<T>(1), b = operands<T>(2), c = operands<T>(3);
    uint32_t gathered = 0;
    size_t i = 0;
    for (auto _ : state) {
        FPSCR fpscr = 0;
        benchmark::DoNotOptimize(FPMulAdd<T>(a[i], b[i], c[i], fpscr));
        gathered |= fpscr;
        i = (i + 1) & (kOperands - 1);
    }
    benchmark::DoNotOptimize(gathered);
    state.SetItemsProcessed(state.iterations());
}

template <class T> void square_root(benchmark::State &state) {
    const std::vector<T> a = operands<T>(1);
    uint32_t gathered = 0;
    size_t i = 0;
    for (auto _ : state) {
        FPSCR fpscr = 0;
        benchmark::DoNotOptimize(FPSqrt<T>(FPAbs(a[i]), fpscr));
        gathered |= fpscr;
        i = (i + 1) & (kOperands - 1);
    }
    benchmark::DoNotOptimize(gathered);
    state.SetItemsProcessed(state.iterations());
}

// Conversion of each width: half and double to single, single to half.
template <class T, class U> void convert(benchmark::State &state) {
    const std::vector<T> a = operands<T>(1);
    uint32_t gathered = 0;
    size_t i = 0;
    for (auto _ : state) {
        FPSCR fpscr = 0;
        benchmark::DoNotOptimize((FPConvert<T, U>(a[i], FPRounding_TIEEVEN, fpscr)));
        gathered |= fpscr;
        i = (i + 1) & (kOperands - 1);
    }
    benchmark::DoNotOptimize(gathered);
    state.SetItemsProcessed(state.iterations());
}

// Float to signed integer of the same width, toward zero (the SVE FCVTZS path).
template <class T> void to_integer(benchmark::State &state) {
    const std::vector<T> a = operands<T>(1);
    uint32_t gathered = 0;
    size_t i = 0;
    for (auto _ : state) {
        FPSCR fpscr = 0;
        benchmark::DoNotOptimize((fplibFPToFixed<T, T>(a[i], 0, false, FPRounding_ZERO, fpscr)));
        gathered |= fpscr;
        i = (i + 1) & (kOperands - 1);
    }
    benchmark::DoNotOptimize(gathered);
    state.SetItemsProcessed(state.iterations());
}

#define PER_WIDTH(NAME, ...)                                                                       \
    BENCHMARK(__VA_ARGS__<uint16_t>)->Name("FPLib/" NAME "/half");                                 \
    BENCHMARK(__VA_ARGS__<uint32_t>)->Name("FPLib/" NAME "/single");                               \
    BENCHMARK(__VA_ARGS__<uint64_t>)->Name("FPLib/" NAME "/double")

BENCHMARK(binary<uint16_t, FPAdd<uint16_t>>)->Name("FPLib/Add/half");
BENCHMARK(binary<uint32_t, FPAdd<uint32_t>>)->Name("FPLib/Add/single");
BENCHMARK(binary<uint64_t, FPAdd<uint64_t>>)->Name("FPLib/Add/double");
BENCHMARK(binary<uint16_t, FPSub<uint16_t>>)->Name("FPLib/Sub/half");
BENCHMARK(binary<uint32_t, FPSub<uint32_t>>)->Name("FPLib/Sub/single");
BENCHMARK(binary<uint64_t, FPSub<uint64_t>>)->Name("FPLib/Sub/double");
BENCHMARK(binary<uint16_t, FPMul<uint16_t>>)->Name("FPLib/Mul/half");
BENCHMARK(binary<uint32_t, FPMul<uint32_t>>)->Name("FPLib/Mul/single");
BENCHMARK(binary<uint64_t, FPMul<uint64_t>>)->Name("FPLib/Mul/double");
BENCHMARK(binary<uint16_t, FPDiv<uint16_t>>)->Name("FPLib/Div/half");
BENCHMARK(binary<uint32_t, FPDiv<uint32_t>>)->Name("FPLib/Div/single");
BENCHMARK(binary<uint64_t, FPDiv<uint64_t>>)->Name("FPLib/Div/double");
PER_WIDTH("MulAdd", fused_multiply_add);
PER_WIDTH("Sqrt", square_root);
PER_WIDTH("ToInteger", to_integer);
BENCHMARK(convert<uint16_t, uint32_t>)->Name("FPLib/Convert/half-to-single");
BENCHMARK(convert<uint32_t, uint16_t>)->Name("FPLib/Convert/single-to-half");
BENCHMARK(convert<uint64_t, uint32_t>)->Name("FPLib/Convert/double-to-single");

} // namespace
