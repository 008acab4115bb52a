#include "tools/column_statistics.h"

#include <cmath>

#include "platform/failure.h"
#include "table/table_grid.h"
#include "tools/number_format.h"

namespace qv {

namespace {

constexpr char kYen = '\x5C';

// The cell text with the yen mark and the commas removed. Returns `cell` itself when there is
// nothing to remove, else the text built in `buffer`.
std::string_view StripYenAndCommas(std::string_view cell, std::string& buffer) {
    std::size_t yen = cell.size();
    if (cell[0] == kYen) {
        yen = 0;
    } else if (cell.size() > 1 && cell[1] == kYen) {
        yen = 1;
    }
    if (yen == cell.size() && cell.find(',') == std::string_view::npos) {
        return cell;
    }
    buffer.resize(cell.size());
    char* out = buffer.data();
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (i != yen && cell[i] != ',') {
            *out++ = cell[i];
        }
    }
    return std::string_view(buffer.data(), static_cast<std::size_t>(out - buffer.data()));
}

}  // namespace

void ColumnStatisticsAccumulator::Add(std::string_view cell) {
    if (cell.empty()) {
        return;
    }
    ++stats_.dataCount;
    double v = 0.0;
    if (!ParseStatisticsNumber(StripYenAndCommas(cell, buffer_), v)) {
        return;
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
