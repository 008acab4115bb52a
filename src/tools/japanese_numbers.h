#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

// The numbers and dates of Japanese lists, read from whole CP932 cell texts. These readings are
// for the added tools (the multi-key sort, the filter's tests, the status bar's figures); the
// column statistics keep their own, stricter reading (statistics_number.h).

// A number as Japanese lists write it: blanks (half- or full-width) around it; digits half- or
// full-width, with commas (either width) between digits and one decimal point (either width);
// a sign in front: "+", "-", the full-width plus and minus, or "▲" or "△" for a minus; a yen
// mark ("\", "¥" as CP932 shows 0x5C, or "￥") before or after the sign; the units "億" and "万"
// (in that order when both: "1億2000万", "1.2万" = 12000); a trailing "円". Nothing when the
// text is anything else, empty, or beyond the range of double.
std::optional<double> ReadJapaneseNumber(std::string_view cp932);

struct CalendarDate {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    auto operator<=>(const CalendarDate&) const = default;
};

// A date of the Gregorian calendar as Japanese lists write it, digits of either width, blanks
// around it: "2024/4/1", "2024-04-01", "2024.4.1", "2024年4月1日"; or in an era: "令和6年4月1日",
// "平成31年4月30日", "令和元年5月1日", "R6.4.1", "H31/4/30" (R, H, S, T, M of either width and
// case for 令和, 平成, 昭和, 大正, 明治). A date before its era's first day (令和元年4月30日) is
// none; one after its era's end is read on, as forms printed before a new era was named counted
// (平成32年1月1日 is 2020-01-01). Nothing for a month or day that does not exist.
std::optional<CalendarDate> ReadJapaneseDate(std::string_view cp932);

// Days since 1970-01-01 (negative before it): dates compare and subtract as these numbers do.
int64_t DayNumber(CalendarDate date);

}  // namespace qv
