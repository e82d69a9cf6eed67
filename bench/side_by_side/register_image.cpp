#include "bench/side_by_side/register_image.h"

#include <cmath>
#include <cstring>

namespace ostrel::bench {
namespace {

constexpr unsigned kIndexReg = 3;

template <typename T> void store_element(uint8_t *vector, unsigned index, T value) {
    std::memcpy(vector + index * sizeof(T), &value, sizeof(T));
}

void fill_integer(uint8_t *vector, unsigned reg, unsigned element_bytes) {
    for (unsigned i = 0; i < kImageVectorBytes / element_bytes; ++i) {
        const uint64_t v = 31u * reg + 7u * i + 1u;
        switch (element_bytes) {
        case 1:
            store_element<uint8_t>(vector, i, static_cast<uint8_t>(v));
            break;
        case 2:
            store_element<uint16_t>(vector, i, static_cast<uint16_t>(v));
            break;
        case 4:
            store_element<uint32_t>(vector, i, static_cast<uint32_t>(v));
            break;
        default:
            store_element<uint64_t>(vector, i, v);
            break;
        }
    }
}

void fill_floating(uint8_t *vector, unsigned reg, unsigned element_bytes) {
    for (unsigned i = 0; i < kImageVectorBytes / element_bytes; ++i) {
        const double v = floating_fill_value(reg, i);
        switch (element_bytes) {
        case 2:
            store_element<uint16_t>(vector, i, half_bits(v));
            break;
        case 4:
            store_element<float>(vector, i, static_cast<float>(v));
            break;
        default:
            store_element<double>(vector, i, v);
            break;
        }
    }
}

} // namespace

const BenchClass *find_bench_class(const char *id) {
    for (const BenchClass &c : kBenchClasses)
        if (std::strcmp(c.id, id) == 0) return &c;
    return nullptr;
}

double floating_fill_value(unsigned reg, unsigned index) {
    return 1.0 + (index % 16) / 16.0 + (reg % 32) / 32.0;
}

uint16_t half_bits(double value) {
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent); // value = fraction * 2^exponent, [0.5, 1)
    const auto mantissa = static_cast<uint16_t>(std::lround((fraction * 2 - 1) * 1024));
    return static_cast<uint16_t>(((exponent - 1 + 15) << 10) | mantissa);
}

void build_register_image(const BenchClass &c, uint8_t *buffer, RegisterImage &image) {
    for (std::size_t i = 0; i < kBufferBytes; ++i)
        buffer[i] = static_cast<uint8_t>(i * 13 + 5);
    const auto base = reinterpret_cast<uint64_t>(buffer);
    for (uint64_t &x : image.x)
        x = base;
    image.x[1] = 10;
    image.x[2] = 1000;
    image.x[4] = base + kStoreOffset;

    for (unsigned r = 0; r < 32; ++r) {
        if (c.fill == Fill::floating)
            fill_floating(image.z[r], r, c.element_bytes);
        else
            fill_integer(image.z[r], r, c.element_bytes);
    }
    // Element numbers, in range as gather indices of doublewords and as TBL indices of any size.
    for (unsigned i = 0; i < kImageVectorBytes / 8; ++i)
        store_element<uint64_t>(image.z[kIndexReg], i, i);

    for (auto &p : image.p)
        for (bool &bit : p)
            bit = true;
    for (bool &bit : image.ffr)
        bit = true;
}

} // namespace ostrel::bench
