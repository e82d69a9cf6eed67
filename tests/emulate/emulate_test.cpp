// The shared emulation entry: what the handler sees and the failure line on standard error.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "sve/client/emulate.h"

using ostrel::emulate_sve_instruction;

namespace {

// Everything a handler observed on its call.
struct Seen {
    int calls = 0;
    cpu_state *state = nullptr;
    unsigned encoding = 0;
    unsigned char *pc = nullptr;
    uint64_t x26 = 0, x28 = 0;
};
Seen seen;
aarch64_decode_rc next_result = DECODE_OK;

aarch64_decode_rc recording_handler(cpu_state *s, unsigned int encoding) {
    ++seen.calls;
    seen.state = s;
    seen.encoding = encoding;
    seen.pc = s->pc;
    seen.x26 = s->x[26];
    seen.x28 = s->x[28];
    // An instruction that writes its result into X28 and X26, and also changes X0.
    s->x[26] = ~s->x[26];
    s->x[28] = 0x2828282828282828ull;
    s->x[0] = 0x1234;
    return next_result;
}

// Standard error of the calls made while it lives, read through a temporary file.
class StderrCapture {
  public:
    StderrCapture() : file_(std::tmpfile()) {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture() {
        restore();
        std::fclose(file_);
    }
    std::string text() {
        restore();
        std::string out;
        std::rewind(file_);
        char buf[512];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, file_)) > 0;)
            out.append(buf, n);
        return out;
    }

  private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }
    FILE *file_;
    int saved_ = -1;
};

class EmulateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        seen = Seen{};
        next_result = DECODE_OK;
        std::memset(state.get(), 0, sizeof(cpu_state));
        for (unsigned i = 0; i < ostrel::kNumXRegs; ++i)
            state->x[i] = 0x100 + i;
        // The instruction's own word sits in "code" at an odd offset so that the address printed
        // is not a round number.
        std::memcpy(code + 3, &code_word, sizeof code_word);
    }
    unsigned char *pc() { return code + 3; }

    std::unique_ptr<cpu_state> state = std::make_unique<cpu_state>();
    unsigned char code[16] = {};
    // Little-endian bytes e1 e3 a0 04 in memory.
    const uint32_t code_word = 0x04a0e3e1;
};

std::string pointer_text(const void *p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

TEST_F(EmulateTest, HandlerSeesStateEncodingPcAndItsResultsStay) {
    state->x[26] = 0xa26;
    state->x[28] = 0xa28;
    StderrCapture err;
    EXPECT_EQ(emulate_sve_instruction(state.get(), 0x05a03800, pc(), recording_handler), DECODE_OK);
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.state, state.get());
    EXPECT_EQ(seen.encoding, 0x05a03800u);
    EXPECT_EQ(seen.pc, pc());
    EXPECT_EQ(seen.x26, 0xa26u);
    EXPECT_EQ(seen.x28, 0xa28u);
    EXPECT_EQ(state->x[26], ~uint64_t{0xa26});
    EXPECT_EQ(state->x[28], 0x2828282828282828ull);
    EXPECT_EQ(state->pc, pc());
}

TEST_F(EmulateTest, FailurePrintsTheWordAtPc) {
    struct Case {
        aarch64_decode_rc rc;
        uint32_t encoding_argument;
    };
    // The encoding argument differs from the word in memory: the line must show the word.
    const Case cases[] = {{DECODE_UNIMPLEMENTED, 0x0420e3e0},
                          {static_cast<aarch64_decode_rc>(1), 0x04a0e3e1},
                          {static_cast<aarch64_decode_rc>(-1), 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.rc));
        seen = Seen{};
        next_result = c.rc;
        StderrCapture err;
        EXPECT_EQ(
            emulate_sve_instruction(state.get(), c.encoding_argument, pc(), recording_handler),
            c.rc);
        EXPECT_EQ(err.text(), "Error: failed to emulate SVE instruction 0x04a0e3e1 at PC " +
                                  pointer_text(code + 3) + "\n");
        EXPECT_EQ(seen.calls, 1);
    }
}

TEST_F(EmulateTest, WordIsPrintedWithLeadingZeros) {
    const uint32_t small_word = 0x00000a05;
    std::memcpy(code + 8, &small_word, sizeof small_word);
    next_result = DECODE_UNIMPLEMENTED;
    StderrCapture err;
    emulate_sve_instruction(state.get(), small_word, code + 8, recording_handler);
    EXPECT_EQ(err.text(), "Error: failed to emulate SVE instruction 0x00000a05 at PC " +
                              pointer_text(code + 8) + "\n");
}

TEST_F(EmulateTest, EachFailureGetsItsOwnLine) {
    next_result = DECODE_UNIMPLEMENTED;
    StderrCapture err;
    emulate_sve_instruction(state.get(), code_word, pc(), recording_handler);
    next_result = DECODE_OK;
    emulate_sve_instruction(state.get(), code_word, pc(), recording_handler);
    next_result = DECODE_UNIMPLEMENTED;
    emulate_sve_instruction(state.get(), code_word, pc(), recording_handler);
    const std::string line =
        "Error: failed to emulate SVE instruction 0x04a0e3e1 at PC " + pointer_text(pc()) + "\n";
    EXPECT_EQ(err.text(), line + line);
    EXPECT_EQ(seen.calls, 3);
}

} // namespace
