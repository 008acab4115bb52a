#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Raised when a number read for the column statistics, or their running sum, leaves the range of
// double.
inline constexpr const char* kFloatOverflowMessage = "浮動小数点数のｵｰﾊﾞｰﾌﾛｰ";

// Reads a whole cell text (after the yen and comma steps of the statistics) as a number:
//
//   blanks* [+|-] digits* [. digits*] [(E|e) [+|-] digit+]
//
// "Blanks" are bytes of value 32 only, and only in front. At least one byte must follow the
// sign; a point must not be the last byte of the text; an exponent needs at least one digit.
// The mantissa may have no digits at all when an exponent follows ("e5", "-.E2" read as zero).
//
// The mantissa digits are gathered as one integer in extended precision, scaled by the power of
// ten that the exponent and the digits after the point give, the sign is applied, and the result
// is rounded to double. A value too small for double becomes zero (keeping its sign); a zero
// mantissa is zero whatever the exponent. Exponents of any length are accepted.
//
// Returns nothing when the text does not follow the syntax: the empty text, blanks only, a lone
// sign, a trailing blank, a second point or sign, any letter other than the exponent mark, any
// byte of a multi-byte character. Raises Failure kFloatOverflowMessage when the value is beyond
// the range of double; never returns an infinity or a NaN.
std::optional<double> ParseStatisticsNumber(std::string_view text);

// The same, for loops over many cells: stores the number in `value` and returns true, or returns
// false and leaves `value` alone.
bool ParseStatisticsNumber(std::string_view text, double& value);

// What reading a text as a number gave, for callers that must not stop at a value beyond the range
// of double (sorting, the figures of a selection).
enum class NumberReading { NotANumber, Number, OutOfRange };

// ParseStatisticsNumber without the failure: OutOfRange where it would raise Failure. `value` is
// set only for Number.
NumberReading ReadStatisticsNumber(std::string_view text, double& value);

// A whole cell text by the statistics' rules: the empty text is NotANumber; otherwise a yen mark
// (byte 0x5C) in first place, or else in second place, is removed, and so is every comma, and the
// rest is read by ReadStatisticsNumber. `buffer` holds the shortened text when one is needed, so
// that a loop over many cells allocates only once.
NumberReading ReadCellNumber(std::string_view cell, std::string& buffer, double& value);

}  // namespace qv
