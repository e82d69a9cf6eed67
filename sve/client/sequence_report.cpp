// libostrel_sequence_report.so: a DynamoRIO client that measures the emulation sequences of the
// real client instead of running a program. When the first thread starts it builds the sequence
// of sample words of every decode row with the framework, prints the length of each row's longest
// one (client argument "rows") and the summary line
//   client sequence: median M, max X inserted instructions
// over the rows, then ends the process. Any program serves as its host.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dr_api.h"
#include "drmgr.h"

#include "sve/client/client_assert.h"
#include "sve/client/client_state.h"
#include "sve/client/instrument.h"
#include "sve/client/thread_record.h"
#include "sve/decode/decode_rows.h"

namespace ostrel::client {

int tls_idx = -1;

[[noreturn]] void assertion_failure(int line, const char *condition) {
    dr_fprintf(STDERR, "ASSERT FAILURE: %s:%d: %s (%s)\n", "sve/client/sequence_report", line,
               condition, "");
    dr_abort();
    __builtin_unreachable();
}

namespace {

bool g_print_rows = false;

// Words of `row`: its fixed bits with the others drawn from a fixed stream, kept when the lookup
// gives them to this row. Register numbers differ between words, and so may their sets.
std::vector<uint32_t> sample_words(const DecodeRow &row, unsigned count) {
    std::vector<uint32_t> words;
    uint64_t state = 0x243f6a8885a308d3ull ^ row.fixed_bits();
    for (unsigned attempt = 0; attempt < 64 * count && words.size() < count; ++attempt) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const uint32_t word =
            row.fixed_bits() | (static_cast<uint32_t>(state >> 32) & ~row.fixed_mask());
        if (find_decode_row(word) == &row) words.push_back(word);
    }
    return words;
}

void report(void *drcontext) {
    std::vector<std::size_t> longest;
    for (const DecodeRow &row : kDecodeRows) {
        std::size_t most = 0;
        for (uint32_t word : sample_words(row, 8))
            most = std::max(most, emulation_sequence_length(drcontext, word));
        if (most == 0) continue; // no word of its own
        longest.push_back(most);
        if (g_print_rows) dr_printf("%-28s %zu\n", row.name, most);
    }
    std::sort(longest.begin(), longest.end());
    const std::size_t median = longest.empty() ? 0 : longest[(longest.size() - 1) / 2];
    const std::size_t max = longest.empty() ? 0 : longest.back();
    dr_printf("client sequence: median %zu, max %zu inserted instructions\n", median, max);
}

void event_thread_init(void *drcontext) {
    report(drcontext);
    dr_exit_process(0);
}

} // namespace
} // namespace ostrel::client

DR_EXPORT void dr_client_main(client_id_t, int argc, const char *argv[]) {
    using namespace ostrel::client;
    dr_set_client_name("Ostrel emulation sequence report", "");
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "rows") == 0) g_print_rows = true;
    OSTREL_CLIENT_CHECK(drmgr_init(), kLineDrmgrInit, "false");
    tls_idx = drmgr_register_tls_field();
    OSTREL_CLIENT_CHECK(tls_idx != -1, kLineTlsFieldRegistration, "false");
    allocate_state_slot();
    drmgr_register_thread_init_event(event_thread_init);
}
