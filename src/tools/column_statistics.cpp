#include "tools/column_statistics.h"

#include <cmath>

#include "platform/failure.h"
#include "table/table_grid.h"
#include "tools/number_format.h"

namespace qv {

void ColumnStatisticsAccumulator::Add(std::string_view cell) {
    if (cell.empty()) {
        return;
    }
    ++stats_.dataCount;
    double v = 0.0;
    switch (ReadCellNumber(cell, buffer_, v)) {
        case NumberReading::NotANumber:
            return;
        case NumberReading::OutOfRange:
            throw Failure(kFloatOverflowMessage);
        case NumberReading::Number:
            break;
    }
    if (stats_.numberCount == 0) {
        stats_.max = v;
        stats_.min = v;
    }
    ++stats_.numberCount;
    if (stats_.max < v) {
        stats_.max = v;
    }
    if (stats_.min > v) {
        stats_.min = v;
    }
    stats_.sum += v;
    if (std::isinf(stats_.sum)) {
        throw Failure(kFloatOverflowMessage);
    }
}

ColumnStatistics CalcColumnStatistics(const TableGrid& grid, int32_t col) {
    ColumnStatisticsAccumulator accumulator;
    grid.VisitColumn(col, 1, grid.RowCount(),
                     [&accumulator](std::string_view text) { accumulator.Add(text); });
    return accumulator.Result();
}

std::string ColumnStatisticsText(const ColumnStatistics& stats, std::string_view decimalSeparator) {
    if (stats.numberCount == 0) {
        return "データは、" + std::to_string(stats.dataCount) + "件ありましたが、\n" +
               "計算対象のデータはありませんでした。";
    }
    const double average = stats.sum / stats.numberCount;
    std::string text;
    text += "      合   計   :  " + FormatStatisticsNumber(stats.sum, decimalSeparator) + "\n";
    text += "      平   均   :  " + FormatStatisticsNumber(average, decimalSeparator) + "\n";
    text += "      最   大   :  " + FormatStatisticsNumber(stats.max, decimalSeparator) + "\n";
    text += "      最   小   :  " + FormatStatisticsNumber(stats.min, decimalSeparator) + "\n";
    text += "有効データ数 :  " + std::to_string(stats.numberCount) + "\n";
    text += "   全データ数 :  " + std::to_string(stats.dataCount);
    return text;
}

std::string ColumnStatisticsReport(const TableGrid& grid, int32_t col,
                                   std::string_view decimalSeparator) {
    return ColumnStatisticsText(CalcColumnStatistics(grid, col), decimalSeparator);
}

}  // namespace qv
