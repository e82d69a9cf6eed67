// The side-by-side benchmark's class table and setup: each word is the instruction the table
// names, and each class runs on the engine from its image touching only its own buffer, with the
// operand values its row promises.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <regex>
#include <string>

#include "bench/side_by_side/engine_state.h"
#include "sve/decode/decode_rows.h"

namespace {

using namespace ostrel::bench;

// The registers an operand list names, each once, in order: what the decoder's description and
// the assembler's text agree on (they differ in brackets, implied offsets and repeated
// destructive operands).
std::vector<std::string> registers_named(const std::string &operands) {
    static const std::regex reg("\\b[zpxwdsh][0-9]+(\\.[bhsd])?\\b");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(operands.begin(), operands.end(), reg);
         it != std::sregex_iterator(); ++it)
        if (std::find(names.begin(), names.end(), it->str()) == names.end())
            names.push_back(it->str());
    return names;
}

// A buffer of exactly kBufferBytes with an inaccessible page on each side, so an access the
// setup did not mean to allow faults.
class GuardedBuffer {
  public:
    GuardedBuffer() : page_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))) {
        span_ = 2 * page_ + round_up(kBufferBytes);
        base_ = static_cast<uint8_t *>(
            mmap(nullptr, span_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base_ + page_, round_up(kBufferBytes), PROT_READ | PROT_WRITE);
    }
    ~GuardedBuffer() { munmap(base_, span_); }
    // Its end touches the guard page above it.
    uint8_t *data() const { return base_ + page_ + round_up(kBufferBytes) - kBufferBytes; }

  private:
    std::size_t round_up(std::size_t n) const { return (n + page_ - 1) / page_ * page_; }
    std::size_t page_, span_;
    uint8_t *base_;
};

TEST(BenchClasses, EachWordIsTheInstructionItsRowNames) {
    for (const BenchClass &c : kBenchClasses) {
        SCOPED_TRACE(c.id);
        const ostrel::DecodeRow *row = ostrel::find_decode_row(c.word);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->state, ostrel::RowState::built);
        const std::string assembly = c.assembly;
        const std::string operands = row->describe_operands(c.word);
        if (operands != "?") {
            EXPECT_EQ(registers_named(operands),
                      registers_named(assembly.substr(assembly.find(' ') + 1)))
                << operands;
        }
        // The NOP loop is the baseline: a class's word must be an SVE word, never a NOP.
        EXPECT_NE(c.word, static_cast<uint32_t>(OSTREL_BENCH_NOP_WORD));
    }
}

TEST(BenchClasses, IdsAreUniqueAndFound) {
    for (const BenchClass &c : kBenchClasses) {
        EXPECT_EQ(find_bench_class(c.id), &c) << c.id;
        for (const BenchClass &other : kBenchClasses)
            if (&other != &c) {
                EXPECT_STRNE(c.id, other.id);
            }
    }
    EXPECT_EQ(find_bench_class("incd"), nullptr);
}

// Every class, run many times as the benchmark does, stays inside its buffer and succeeds; the
// first-fault load keeps every FFR bit (a setup that stopped it early would time another path).
TEST(BenchSetup, EveryClassRunsInsideItsBuffer) {
    for (const BenchClass &c : kBenchClasses) {
        SCOPED_TRACE(c.id);
        GuardedBuffer buffer;
        EngineSetup setup(c, buffer.data());
        const sve_handler_t handler = get_sve_handler(c.word);
        ASSERT_NE(handler, nullptr);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(handler(setup.cpu(), c.word), DECODE_OK);
        for (unsigned i = 0; i < kImageVectorBytes; ++i)
            ASSERT_EQ(setup.cpu()->ffr[i] & 1, 1) << "FFR bit " << i;
    }
}

TEST(BenchSetup, StoresGoToTheStoreAreaAndLoadsComeFromTheBuffer) {
    const BenchClass &store = *find_bench_class("st1d");
    EngineSetup st(store);
    ASSERT_EQ(get_sve_handler(store.word)(st.cpu(), store.word), DECODE_OK);
    EXPECT_EQ(std::memcmp(st.buffer() + kStoreOffset, st.cpu()->z[1], kImageVectorBytes), 0);

    const BenchClass &load = *find_bench_class("ld1d");
    EngineSetup ld(load);
    ASSERT_EQ(get_sve_handler(load.word)(ld.cpu(), load.word), DECODE_OK);
    EXPECT_EQ(std::memcmp(ld.buffer(), ld.cpu()->z[0], kImageVectorBytes), 0);
}

// Timings start over from the same state: reset undoes what the instruction changed in
// registers and in memory.
TEST(BenchSetup, ResetRestoresRegistersAndBuffer) {
    for (const char *id : {"st1d", "fmla_d", "whilelo", "ldff1b"}) {
        SCOPED_TRACE(id);
        const BenchClass &c = *find_bench_class(id);
        EngineSetup setup(c);
        auto fresh = std::make_unique<cpu_state>();
        std::memcpy(fresh.get(), setup.cpu(), sizeof *fresh);
        const std::vector<uint8_t> fresh_buffer(setup.buffer(), setup.buffer() + kBufferBytes);
        // Stores change the store area only if it held something else first.
        std::memset(setup.buffer() + kStoreOffset, 0, kImageVectorBytes);
        for (int i = 0; i < 3; ++i)
            get_sve_handler(c.word)(setup.cpu(), c.word);
        setup.reset();
        EXPECT_EQ(std::memcmp(fresh.get(), setup.cpu(), sizeof *fresh), 0);
        EXPECT_EQ(std::memcmp(fresh_buffer.data(), setup.buffer(), kBufferBytes), 0);
    }
}

double half_value(uint16_t bits) {
    const int exponent = (bits >> 10) & 0x1f;
    const int fraction = bits & 0x3ff;
    return std::ldexp(1.0 + fraction / 1024.0, exponent - 15);
}

// Floating-point classes compute on the promised normal values in their own precision, integer
// classes on integers, and Z3 holds in-range indices for every class.
TEST(BenchSetup, SourceVectorsHoldTheFillTheRowAsksFor) {
    for (const BenchClass &c : kBenchClasses) {
        SCOPED_TRACE(c.id);
        std::vector<uint8_t> buffer(kBufferBytes);
        auto image = std::make_unique<RegisterImage>();
        build_register_image(c, buffer.data(), *image);
        const unsigned n = kImageVectorBytes / c.element_bytes;
        for (unsigned reg : {0u, 1u, 2u}) {
            for (unsigned i = 0; i < n; ++i) {
                const uint8_t *at = image->z[reg] + i * c.element_bytes;
                if (c.fill == Fill::integer) continue;
                double v = 0;
                if (c.element_bytes == 2) {
                    uint16_t bits;
                    std::memcpy(&bits, at, 2);
                    ASSERT_NE(bits & 0x7c00, 0x7c00) << "not finite";
                    ASSERT_NE(bits & 0x7c00, 0) << "not normal";
                    v = half_value(bits);
                } else if (c.element_bytes == 4) {
                    float f;
                    std::memcpy(&f, at, 4);
                    ASSERT_EQ(std::fpclassify(f), FP_NORMAL);
                    v = f;
                } else {
                    std::memcpy(&v, at, 8);
                    ASSERT_EQ(std::fpclassify(v), FP_NORMAL);
                }
                ASSERT_EQ(v, floating_fill_value(reg, i)) << "z" << reg << "[" << i << "]";
                ASSERT_GT(v, 0); // square roots of the sources are real
            }
        }
        for (unsigned i = 0; i < kImageVectorBytes / 8; ++i) {
            uint64_t index;
            std::memcpy(&index, image->z[3] + 8 * i, 8);
            EXPECT_LE((index + 1) * 8, kBufferBytes); // a doubleword gather
            EXPECT_LT(index, kImageVectorBytes / 8);  // TBL in range at any element size
        }
        EXPECT_EQ(image->x[0], reinterpret_cast<uint64_t>(buffer.data()));
        EXPECT_EQ(image->x[4], reinterpret_cast<uint64_t>(buffer.data()) + kStoreOffset);
    }
}

TEST(BenchSetup, HalfBitsEncodeNormalValues) {
    for (unsigned reg = 0; reg < 32; ++reg)
        for (unsigned i = 0; i < 96; ++i) {
            const double v = floating_fill_value(reg, i);
            EXPECT_EQ(half_value(half_bits(v)), v) << v;
        }
    for (double v : {0.75, 1.0, 1.5009765625, 2.0, 3.99609375, 1000.0})
        EXPECT_EQ(half_value(half_bits(v)), v) << v;
}

} // namespace
