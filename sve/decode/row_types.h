// RowInfo of each element-type token of the decode rows.
#pragma once

#include "sve/decode/operand_fields.h"

namespace ostrel::decode::row_type {
// clang-format off
constexpr RowInfo U8{0, false},  U16{1, false}, U32{2, false}, U64{3, false}, U128{4, false};
constexpr RowInfo S8{0, true},   S16{1, true},  S32{2, true},  S64{3, true};
constexpr RowInfo F16{1, true},  F32{2, true},  D64{3, true},  F64{3, true};
constexpr RowInfo B8{0, false},  H16{1, false}, H32{2, false}, H64{3, false};
constexpr RowInfo P{0, false},   P8{0, false},  P16{1, false}, P32{2, false}, P64{3, false};
// Conversions: the size of the wider element; forms name both sides' sizes themselves.
constexpr RowInfo U16_2{1, false}, U32_4{2, false}, U64_4{3, false}, U64_8{3, false};
constexpr RowInfo S16_2{1, true},  S32_4{2, true},  S64_4{3, true},  S64_8{3, true};
// clang-format on
} // namespace ostrel::decode::row_type
