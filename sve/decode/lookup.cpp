// Handler lookup: the tables are tried in order, each with its own key, and the first hit wins.
// Rows of different tables never overlap, so the order only decides how soon a hit is found.
#include <algorithm>
#include <array>
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

} // namespace

const DecodeRow *find_decode_row(uint32_t encoding) {
    return index().find(encoding);
}

const DecodeRow *row_of_handler(sve_handler_t handler) {
    return index().of_handler(handler);
}

} // namespace ostrel

sve_handler_t get_sve_handler(unsigned int encoding) {
    const ostrel::DecodeRow *row = ostrel::find_decode_row(encoding);
    return row ? row->handler : nullptr;
}
