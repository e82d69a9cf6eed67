// Handler lookup: the tables are tried in order, each with its own key, and the first hit wins.
// Rows of different tables never overlap, so the order only decides how soon a hit is found.
#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

#include "sve/decode/decode_rows.h"

namespace ostrel {
namespace {

constexpr uint32_t kSveSpaceMask = 0x1e000000;
constexpr uint32_t kSveSpaceBits = 0x04000000;

struct KeyEntry {
    uint32_t key;
    uint16_t row;
    bool operator<(const KeyEntry &o) const { return key < o.key; }
};

// Per table, its keys sorted for binary search. Built once on first use, read-only afterwards.
class LookupIndex {
  public:
    LookupIndex() {
        for (std::size_t r = 0; r < kNumRows; ++r)
            tables_[static_cast<std::size_t>(kDecodeRows[r].table)].push_back(
                KeyEntry{kDecodeRows[r].key, static_cast<uint16_t>(r)});
        for (auto &t : tables_)
            std::sort(t.begin(), t.end());
        handlers_.reserve(kNumRows);
        for (std::size_t r = 0; r < kNumRows; ++r)
            handlers_.push_back({kDecodeRows[r].handler, static_cast<uint16_t>(r)});
        std::sort(handlers_.begin(), handlers_.end());
    }

    const DecodeRow *find(uint32_t encoding) const {
        // Most words of a block are not SVE; every row lies in the SVE space (op0 = 0b0010),
        // so those words skip the 44 searches.
        if ((encoding & kSveSpaceMask) != kSveSpaceBits) return nullptr;
        for (std::size_t t = 0; t < kNumTables; ++t) {
            const auto &entries = tables_[t];
            const KeyEntry probe{kDecodeTables[t].key(encoding), 0};
            auto it = std::lower_bound(entries.begin(), entries.end(), probe);
            if (it != entries.end() && it->key == probe.key) return &kDecodeRows[it->row];
        }
        return nullptr;
    }

    const DecodeRow *of_handler(sve_handler_t h) const {
        auto it = std::lower_bound(handlers_.begin(), handlers_.end(),
                                   std::pair<sve_handler_t, uint16_t>{h, 0});
        return it != handlers_.end() && it->first == h ? &kDecodeRows[it->second] : nullptr;
    }

  private:
    std::array<std::vector<KeyEntry>, kNumTables> tables_;
    std::vector<std::pair<sve_handler_t, uint16_t>> handlers_;
};

const LookupIndex &index() {
    static const LookupIndex built;
    return built;
}

// Build the index while the library loads, before any application thread can ask.
[[maybe_unused]] const LookupIndex &eager_index = index();

// The trap runner looks up every SVE word it executes, and a program runs few distinct words
// many times, so the searches' results are cached: a two-way set-associative table keyed by the
// whole word. Each entry is one 64-bit atomic holding the word and its result together, so a
// reader sees a whole entry or an older whole one, never a mix; with no locks and no allocation
// it is safe from any thread and inside signal handlers. Losing an entry to a racing fill only
// costs a search.
class LookupCache {
  public:
    // Entry 0 is an empty slot: its word, 0, lies outside the SVE space and is never cached.
    static constexpr uint32_t kNoRow = 0xffffffff;

    // Row index plus one, kNoRow for a word no row accepts, 0 when the word is not cached.
    uint32_t get(uint32_t encoding) const {
        const Set &set = sets_[set_of(encoding)];
        for (const auto &way : set.ways) {
            const uint64_t e = way.load(std::memory_order_relaxed);
            if (static_cast<uint32_t>(e >> 32) == encoding) return static_cast<uint32_t>(e);
        }
        return 0;
    }

    void put(uint32_t encoding, uint32_t value) {
        Set &set = sets_[set_of(encoding)];
        const uint64_t e = static_cast<uint64_t>(encoding) << 32 | value;
        // An empty way first; otherwise a way fixed per word, so that of three words sharing
        // a set and used in turn, one stays cached instead of all three evicting each other.
        std::size_t victim = (hash(encoding) >> (32 - kSetBits - 1)) & 1;
        for (std::size_t w = 0; w < kWays; ++w)
            if (set.ways[w].load(std::memory_order_relaxed) == 0) {
                victim = w;
                break;
            }
        set.ways[victim].store(e, std::memory_order_relaxed);
    }

  private:
    static constexpr unsigned kSetBits = 13;
    static constexpr std::size_t kWays = 2;
    static_assert(std::atomic<uint64_t>::is_always_lock_free, "signal handlers look up too");
    static_assert(kNumRows + 1 < kNoRow, "row indices fit below the null marker");

    // Words differing only in register fields are common neighbours; a multiplicative hash
    // spreads them over the sets.
    static uint32_t hash(uint32_t encoding) { return encoding * 0x9e3779b1u; }
    static std::size_t set_of(uint32_t encoding) { return hash(encoding) >> (32 - kSetBits); }

    // Both ways of a set share a cache line; 128 KiB in all, untouched pages cost nothing.
    struct alignas(sizeof(uint64_t) * kWays) Set {
        std::atomic<uint64_t> ways[kWays];
    };
    Set sets_[std::size_t{1} << kSetBits];
};

// Zero-initialised static storage: usable before any constructor runs, never destroyed.
LookupCache cache;

} // namespace

const DecodeRow *find_decode_row(uint32_t encoding) {
    // Non-SVE words are rejected by find() at once; only SVE words are worth a cache slot.
    if ((encoding & kSveSpaceMask) != kSveSpaceBits) return nullptr;
    const uint32_t cached = cache.get(encoding);
    if (cached == LookupCache::kNoRow) return nullptr;
    if (cached != 0) return &kDecodeRows[cached - 1];
    const DecodeRow *row = index().find(encoding);
    cache.put(encoding, row ? static_cast<uint32_t>(row - kDecodeRows) + 1 : LookupCache::kNoRow);
    return row;
}

const DecodeRow *row_of_handler(sve_handler_t handler) {
    return index().of_handler(handler);
}

} // namespace ostrel

sve_handler_t get_sve_handler(unsigned int encoding) {
    const ostrel::DecodeRow *row = ostrel::find_decode_row(encoding);
    return row ? row->handler : nullptr;
}
