#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/statistics_number.h"

namespace qv {

class TableGrid;

// What the statistics of one column gather.
struct ColumnStatistics {
    int32_t dataCount = 0;    // cells that are not empty
    int32_t numberCount = 0;  // of those, the cells read as numbers
    double sum = 0.0;
    double max = 0.0;  // max and min mean something only when numberCount > 0
    double min = 0.0;
};

// Gathers the statistics one cell text after another, without allocating per cell.
class ColumnStatisticsAccumulator {
public:
    // Takes one cell text. The empty text is skipped; any other counts as data. Before it is read
    // as a number (ParseStatisticsNumber), a yen mark (byte 0x5C) in first place, or else in
    // second place, is removed, and so is every comma. A text that is no number counts as data
    // only. Raises Failure kFloatOverflowMessage when the number, or the sum with it, is beyond
    // the range of double; the statistics are of no use afterwards.
    void Add(std::string_view cell);
    const ColumnStatistics& Result() const { return stats_; }

private:
    ColumnStatistics stats_;
    std::string buffer_;  // the text with yen mark and commas removed, reused
};

// The statistics of rows 1 .. RowCount-1 of column `col`. A column outside the grid, or one never
// written, holds only empty texts. Raises Failure kFloatOverflowMessage as the accumulator does.
ColumnStatistics CalcColumnStatistics(const TableGrid& grid, int32_t col);

// The text of the information box: six lines (sum, average, maximum, minimum, the count of
// numbers, the count of data) with the values written by FormatStatisticsNumber, or, when no
// number was found, the two lines saying so. No line break after the last line.
std::string ColumnStatisticsText(const ColumnStatistics& stats, std::string_view decimalSeparator);

// CalcColumnStatistics followed by ColumnStatisticsText. `decimalSeparator` is the one of the
// user's locale. Raises Failure kFloatOverflowMessage on overflow.
std::string ColumnStatisticsReport(const TableGrid& grid, int32_t col,
                                   std::string_view decimalSeparator);

}  // namespace qv
