// The runner as the oracle drives it: the end of input, malformed records, results streaming
// out while input is still open, a long batch in one process, and how it starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "tests/oracle_reference/case_builder.h"
#include "tests/oracle_reference/reference_process.h"
#include "tests/oracle_reference/state_compare.h"

namespace ostrel::oracle::testing {
namespace {

std::size_t line_count(const std::string &text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

Case cntb_case(std::mt19937_64 &rng) {
    return make_case(word::kCntbX0, random_state(rng));
}

TEST(OracleReferenceProtocol, EmptyInputEndsCleanly) {
    const RunnerOutput r = run_command(reference_command(), "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

TEST(OracleReferenceProtocol, MalformedRecordsStopTheRunner) {
    std::mt19937_64 rng(31);
    const std::string good = serialize(cntb_case(rng));
    auto with = [&](const std::function<void(Case &)> &change) {
        Case c = make_memory_case(word::kLd1dZ0P0X1, random_state(rng), random_window(rng));
        change(c);
        return serialize(c);
    };
    const std::string memory_case = with([](Case &) {});
    struct Row {
        const char *what;
        std::string input;
        std::size_t results; // answered before the bad record
    };
    const Row rows[] = {
        {"bad magic", good + with([](Case &c) { c.header.magic = kResultMagic; }), 1},
        {"truncated header", good + good.substr(0, 100), 1},
        {"truncated window", memory_case.substr(0, memory_case.size() - 1), 0},
        {"odd memory size", with([](Case &c) { c.header.memory_bytes = 100; }), 0},
        {"system call", good + with([](Case &c) { c.header.encoding = 0xd4000001; }), 1},
        {"branch", with([](Case &c) { c.header.encoding = 0x14000000; }), 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const RunnerOutput r = run_command(reference_command(), row.input);
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(parse_results(r.out).size(), row.results);
        EXPECT_EQ(line_count(r.err), 1u) << r.err;
    }
}

TEST(OracleReferenceProtocol, ResultsComeOutWhileInputIsOpen) {
    std::mt19937_64 rng(32);
    StreamingRunner runner;
    std::string data;

    const Case first = cntb_case(rng);
    runner.send(serialize(first));
    ASSERT_TRUE(runner.receive(sizeof(ResultHeader), data)) << "no result before more input";
    ResultHeader h;
    std::memcpy(&h, data.data(), sizeof h);
    EXPECT_EQ(h.outcome, Outcome::completed);
    EXPECT_EQ(h.state.x[0], 192u);

    ArchState in = random_state(rng);
    in.x[5] = kWindowAddress + 7;
    const Window window = random_window(rng);
    runner.send(serialize(make_memory_case(word::kSt1bZ4P2X5, in, window)));
    ASSERT_TRUE(runner.receive(sizeof(ResultHeader) + kWindowBytes, data));
    std::memcpy(&h, data.data(), sizeof h);
    EXPECT_EQ(h.outcome, Outcome::completed);
    EXPECT_EQ(h.memory_bytes, kWindowBytes);
    EXPECT_EQ(runner.finish(), 0);
}

// WHILELO's element count, element by element as the instruction defines it.
unsigned whilelo_count(uint64_t n, uint64_t m, unsigned elements) {
    unsigned count = 0;
    for (unsigned e = 0; e < elements; ++e)
        if (static_cast<unsigned __int128>(n) + e < m)
            count = e + 1;
        else
            break;
    return count;
}

TEST(OracleReferenceProtocol, ThousandCasesThroughOneProcess) {
    std::mt19937_64 rng(33);
    std::vector<Case> cases;
    std::vector<ArchState> states;
    std::vector<Window> windows;
    for (int i = 0; i < 1000; ++i) {
        ArchState in = random_state(rng);
        ArchState out = in;
        Window after;
        switch (rng() % 4) {
        case 0: { // ADD on random registers and element size
            const unsigned size = rng() % 4, zd = rng() % 32, zn = rng() % 32, zm = rng() % 32;
            const unsigned bytes = 1u << size;
            for (unsigned e = 0; e < kVectorBytes; e += bytes)
                store_le(out.z[zd] + e, bytes,
                         load_le(in.z[zn] + e, bytes) + load_le(in.z[zm] + e, bytes));
            cases.push_back(make_case(add_vectors(size, zd, zn, zm), in));
            break;
        }
        case 1: { // WHILELO on random X registers, values close together
            const unsigned size = rng() % 4, pd = rng() % 16, xn = rng() % 31, xm = rng() % 31;
            in.x[xn] = (rng() % 2 ? ~0ull - 300 : 0) + rng() % 300;
            in.x[xm] = in.x[xn] + rng() % 400 - 100;
            const unsigned elements = kVectorBytes >> size;
            const unsigned count = whilelo_count(in.x[xn], in.x[xm], elements);
            out = in;
            const Pred p = first_elements(1u << size, count);
            std::copy(p.begin(), p.end(), out.p[pd]);
            out.nzcv = prefix_flags(count, elements);
            cases.push_back(make_case(whilelo_x(size, pd, xn, xm), in));
            break;
        }
        case 2: { // ST1B anywhere in the window
            const uint64_t offset = rng() % (kWindowBytes - kVectorBytes + 1);
            in.x[5] = kWindowAddress + offset;
            out = in;
            const Window w = random_window(rng);
            after = w;
            for (unsigned b = 0; b < kVectorBytes; ++b)
                if (pred_bit(in.p[2], b)) after[offset + b] = in.z[4][b];
            cases.push_back(make_memory_case(word::kSt1bZ4P2X5, in, w));
            break;
        }
        default: // CNTB
            out.x[0] = kVectorBytes;
            cases.push_back(make_case(word::kCntbX0, in));
            break;
        }
        states.push_back(out);
        windows.push_back(after);
    }
    const std::vector<Result> results = run_cases(serialize(cases), cases.size());
    int failures = 0;
    for (std::size_t i = 0; i < cases.size() && failures < 5; ++i) {
        const bool ok = results[i].header.outcome == Outcome::completed &&
                        same_state(states[i], results[i].header.state) &&
                        results[i].window == windows[i];
        if (!ok) {
            ++failures;
            ADD_FAILURE() << "case " << i << " (encoding " << std::hex << cases[i].header.encoding
                          << ")" << same_state(states[i], results[i].header.state).message();
        }
    }
}

TEST(OracleReferenceProtocol, RefusesToStartWithoutSve) {
    const RunnerOutput r = run_command(
        {"qemu-aarch64", "-cpu", "neoverse-n1", "-L", OSTREL_TEST_SYSROOT, OSTREL_ORACLE_REF},
        serialize(make_case(word::kCntbX0, zero_state())));
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(line_count(r.err), 1u);
    EXPECT_NE(r.err.find("SVE"), std::string::npos) << r.err;
}

TEST(OracleReferenceProtocol, SetsItsOwnVectorLengthWhenStartedWithAnother) {
    // qemu's max CPU starts programs at 64-byte vectors unless told otherwise.
    const RunnerOutput r =
        run_command({"qemu-aarch64", "-cpu", "max", "-L", OSTREL_TEST_SYSROOT, OSTREL_ORACLE_REF},
                    serialize(make_case(word::kCntbX0, zero_state())));
    EXPECT_EQ(r.exit_status, 0) << r.err;
    const std::vector<Result> results = parse_results(r.out);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].header.state.x[0], kVectorBytes);
}

} // namespace
} // namespace ostrel::oracle::testing
