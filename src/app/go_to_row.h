#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

// What GoToRow says of a text that names no row.
inline constexpr const char* kNotARowNumberMessage = "行番号を数字で入力してください。";

// The data row that the go-to-row dialog's text (UTF-8) names in a table of `rowCount` rows
// (row 0 holds the item names): digits, ASCII or full-width, with thousands commas and spaces
// around them and an optional leading "-". A number outside 1..rowCount-1, however long, is
// clamped into it. Nothing for any other text, or when the table has no data row.
std::optional<int32_t> RowToGoTo(std::string_view typed, int32_t rowCount);

}  // namespace qv
