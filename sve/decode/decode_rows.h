// The decode rows and tables as data: what the lookup, the tools and the tests walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sve/client/cpu_state.h"

namespace ostrel {

enum class Road : uint8_t {
    executor,           // a fixed-length executor on cpu_state
    executor_fpsr_wrap, // the same, with the emulated FPSR exchanged around the call
    kernel,             // a vector-length-agnostic kernel on vector values
    none,               // prefetches: nothing to do
};

const char *road_name(Road road);

enum class TableId : uint8_t {
#define SVE_TABLE(rule, ...) t_##rule,
#include "sve/decode/sve_tables.def"
#undef SVE_TABLE
};

constexpr std::size_t kNumTables = 0
#define SVE_TABLE(rule, ...) +1
#include "sve/decode/sve_tables.def"
#undef SVE_TABLE
    ;

struct BitRange {
    uint8_t hi, lo;
};

// The key rule of one table: up to four bit ranges, most significant first.
struct DecodeTable {
    const char *name; // decode_map__...
    BitRange ranges[4];
    uint8_t num_ranges;

    // The selected bits of an encoding, concatenated.
    constexpr uint32_t key(uint32_t encoding) const {
        uint32_t k = 0;
        for (unsigned i = 0; i < num_ranges; ++i) {
            unsigned width = ranges[i].hi - ranges[i].lo + 1;
            uint32_t field =
                width == 32 ? encoding : (encoding >> ranges[i].lo) & ((1u << width) - 1);
            k = width == 32 ? field : (k << width) | field;
        }
        return k;
    }
    // The encoding bits the key is made of.
    constexpr uint32_t key_mask() const {
        uint32_t m = 0;
        for (unsigned i = 0; i < num_ranges; ++i)
            for (unsigned b = ranges[i].lo; b <= ranges[i].hi; ++b)
                m |= 1u << b;
        return m;
    }
    // The inverse of key(): the encoding whose key bits are those of `key` and whose other bits are
    // 0.
    constexpr uint32_t spread(uint32_t key) const {
        uint32_t e = 0;
        for (unsigned i = num_ranges; i-- > 0;) {
            unsigned width = ranges[i].hi - ranges[i].lo + 1;
            uint32_t field = width == 32 ? key : key & ((1u << width) - 1);
            e |= field << ranges[i].lo;
            key = width == 32 ? 0 : key >> width;
        }
        return e;
    }
};

// All tables, in lookup order.
extern const DecodeTable kDecodeTables[kNumTables];

// Whether a row's executor or kernel exists yet (and so whether its handler emulates anything).
enum class RowState : uint8_t {
    no_layout, // its operand layout is not written: it reports itself as unimplemented
    pending,   // its layout is written, its executor or kernel is not: it reports itself
    built,     // it emulates the instruction
};

struct DecodeRow {
    const char *name;   // the handler's name
    const char *type;   // element type token (U16, S64, P8, ...)
    const char *family; // operation and operand shape
    TableId table;
    uint32_t key;
    Road road;
    const char *target; // executor or kernel the handler calls
    sve_handler_t handler;
    RowState state; // prefetches count as built: doing nothing is their emulation
    // The operands the decode function extracts from an encoding, spelled as a disassembler
    // would ("z3.h, p1/m, z4.h"); "?" while the row has no layout.
    std::string (*describe_operands)(uint32_t encoding);

    const DecodeTable &rule() const { return kDecodeTables[static_cast<std::size_t>(table)]; }
    // Encoding bits the row fixes, and their values.
    uint32_t fixed_mask() const { return rule().key_mask(); }
    uint32_t fixed_bits() const { return rule().spread(key); }
    bool matches(uint32_t encoding) const { return (encoding & fixed_mask()) == fixed_bits(); }
};

constexpr std::size_t kNumRows = 0
#define SVE_ROW(...) +1
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
    ;

// Every row, grouped by table in lookup order.
extern const DecodeRow kDecodeRows[kNumRows];

// The row whose handler the lookup returns for an encoding, or null.
const DecodeRow *find_decode_row(uint32_t encoding);
// The row of a handler, or null when the pointer is not a handler.
const DecodeRow *row_of_handler(sve_handler_t handler);

} // namespace ostrel

// The handler that emulates an encoding, or null when the encoding is not an SVE instruction
// the emulator knows. Safe from any thread and from signal handlers: the tables never change
// after they are built, and the cache of recent answers in front of them takes no lock.
sve_handler_t get_sve_handler(unsigned int encoding);
