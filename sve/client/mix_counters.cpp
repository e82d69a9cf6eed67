#include "sve/client/mix_counters.h"

#include <sys/mman.h>

#include "sve/trace/memtrace.h"

namespace ostrel::mix {
namespace {

// The handlers this thread met last, by a hash of their address: a loop's few instructions then
// skip the search of the handler's row.
constexpr size_t kRowCacheSlots = 64;
struct RowCacheSlot {
    sve_handler_t handler;
    size_t row;
};

struct ThreadCounters {
    std::atomic<uint64_t> rows[2][kNumRows];
    RowCacheSlot row_cache[kRowCacheSlots]; // owner only
    ThreadCounters *next;
};

// A push-only list of every thread's counters. Blocks are never freed: a thread that has exited
// still counts in the report.
std::atomic<ThreadCounters *> g_threads{nullptr};
thread_local ThreadCounters *t_counters = nullptr;

// Unimplemented words, in a fixed open-addressed table filled with compare-and-swap: they are
// rare, but may be met inside a signal handler, where neither malloc nor a lock is safe.
constexpr size_t kWordSlots = 256;
struct WordSlot {
    std::atomic<uint64_t> key{0}; // word + 1 once taken: 0 means free
    std::atomic<uint64_t> count[2] = {};
    std::atomic<uint64_t> first_pc{0};
};
WordSlot g_words[kWordSlots];
std::atomic<uint64_t> g_words_lost{0};

ThreadCounters *attach_thread() {
    // mmap rather than new: zero-filled, and safe in a signal handler.
    void *memory = ::mmap(nullptr, sizeof(ThreadCounters), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
    auto *counters = static_cast<ThreadCounters *>(memory);
    ThreadCounters *head = g_threads.load(std::memory_order_relaxed);
    do
        counters->next = head;
    while (!g_threads.compare_exchange_weak(head, counters, std::memory_order_release,
                                            std::memory_order_relaxed));
    t_counters = counters;
    return counters;
}

void note_unimplemented(uint32_t word, unsigned scope, uint64_t pc) {
    const uint64_t key = uint64_t(word) + 1;
    for (size_t probe = 0; probe < kWordSlots; ++probe) {
        WordSlot &slot = g_words[(word * 2654435761u + probe) % kWordSlots];
        uint64_t seen = slot.key.load(std::memory_order_acquire);
        if (seen == 0 && slot.key.compare_exchange_strong(seen, key, std::memory_order_acq_rel))
            seen = key;
        if (seen != key) continue;
        uint64_t none = 0;
        slot.first_pc.compare_exchange_strong(none, pc, std::memory_order_relaxed);
        slot.count[scope].fetch_add(1, std::memory_order_relaxed);
        return;
    }
    g_words_lost.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

std::atomic<bool> g_counting{false};

void enable() {
    g_counting.store(true, std::memory_order_relaxed);
}

void count(sve_handler_t handler, aarch64_decode_rc rc, uint32_t word, const void *pc) {
    ThreadCounters *counters = t_counters;
    if (!counters && !(counters = attach_thread())) return;
    RowCacheSlot &cached =
        counters->row_cache[(reinterpret_cast<uintptr_t>(handler) >> 4) % kRowCacheSlots];
    if (cached.handler != handler) {
        const DecodeRow *row = row_of_handler(handler);
        if (!row) return;
        cached = RowCacheSlot{handler, static_cast<size_t>(row - kDecodeRows)};
    }
    // Read after the instruction ran: a start marker counts inside its region, a stop marker
    // outside it.
    const unsigned scope = enable_trace ? kInsideRegion : kOutsideRegion;
    std::atomic<uint64_t> &slot = counters->rows[scope][cached.row];
    // Only this thread writes the slot: a plain increment, made atomic for the reader at exit.
    slot.store(slot.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    if (rc == DECODE_UNIMPLEMENTED) note_unimplemented(word, scope, reinterpret_cast<uint64_t>(pc));
}

MixSnapshot snapshot() {
    MixSnapshot sums;
    for (auto &scope : sums.rows)
        scope.assign(kNumRows, 0);
    for (ThreadCounters *t = g_threads.load(std::memory_order_acquire); t; t = t->next)
        for (unsigned scope = 0; scope < 2; ++scope)
            for (size_t r = 0; r < kNumRows; ++r)
                sums.rows[scope][r] += t->rows[scope][r].load(std::memory_order_relaxed);
    for (const WordSlot &slot : g_words) {
        const uint64_t key = slot.key.load(std::memory_order_acquire);
        if (key == 0) continue;
        UnimplementedWord entry;
        entry.word = static_cast<uint32_t>(key - 1);
        entry.count[0] = slot.count[0].load(std::memory_order_relaxed);
        entry.count[1] = slot.count[1].load(std::memory_order_relaxed);
        entry.first_pc = slot.first_pc.load(std::memory_order_relaxed);
        sums.unimplemented.push_back(entry);
    }
    sums.unimplemented_not_kept = g_words_lost.load(std::memory_order_relaxed);
    return sums;
}

} // namespace ostrel::mix
