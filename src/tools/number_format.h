#pragma once

#include <string>
#include <string_view>

namespace qv {

// Writes a value the way the column statistics show it: rounded to 15 significant digits,
// trailing zeros of the fraction dropped (and the separator with them), no grouping, no "+".
//
// With the value written as 0.d1d2... x 10^e (d1 not zero, e taken after rounding), values with
// -3 <= e <= 15 are written in fixed form ("1150", "0.00012", "999999999999999"), all others as
// one digit, the fraction, "E" and the exponent without leading zeros ("1E15", "1E-5",
// "1.23456789012346E17"). Zero, negative zero included, is "0"; other negative values begin
// with "-". `separator` stands between the integer and the fraction digits.
//
// The statistics never produce infinities or NaNs; should one be passed, the result is "INF",
// "-INF" or "NAN".
std::string FormatStatisticsNumber(double value, std::string_view separator);

}  // namespace qv
