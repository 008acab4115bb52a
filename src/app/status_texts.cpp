#include "app/status_texts.h"

#include <algorithm>

#include "tools/number_format.h"
#include "tools/selection_figures.h"

namespace qv {

std::string GroupedNumber(int64_t value, char groupSeparator) {
    return GroupedDecimal(std::to_string(value), groupSeparator);
}

std::string GroupedDecimal(std::string_view number, char groupSeparator) {
    const size_t first = number.starts_with('-') ? 1 : 0;
    size_t end = first;
    while (end < number.size() && number[end] >= '0' && number[end] <= '9') {
        ++end;
    }
    std::string out(number.substr(0, first));
    for (size_t i = first; i < end; ++i) {
        if (i > first && (end - i) % 3 == 0) {
            out += groupSeparator;
        }
        out += number[i];
    }
    return out.append(number.substr(end));
}

std::string PositionStatusText(const TableGrid& grid) {
    return "行 " + GroupedNumber(grid.Row()) + " / " +
           GroupedNumber(std::max(0, grid.RowCount() - 1)) + "  列 " + GroupedNumber(grid.Col());
}

SelectedBlock SelectedRange(const TableGrid& grid) {
    const GridCell a = grid.Current();
    const GridCell b = grid.Anchor();
    return {{std::min(a.col, b.col), std::min(a.row, b.row)},
            {std::max(a.col, b.col), std::max(a.row, b.row)}};
}

namespace {

std::string SelectionText(const TableGrid& grid, const SelectedBlock& range,
                          std::string_view decimalSeparator, const std::atomic<bool>& cancelled) {
    if (range.first == range.last) {
        return {};
    }
    const SelectionFigures figures = CalcSelectionFigures(
        grid, range.first.col, range.last.col + 1, range.first.row, range.last.row + 1, &cancelled);
    const char group = decimalSeparator == "," ? '.' : ',';
    std::string text = "データの個数 " + GroupedNumber(figures.dataCount, group) + "  数値 " +
                       GroupedNumber(figures.numberCount, group);
    if (figures.overflow) {
        text += "  合計 (桁あふれ)";
    } else if (figures.numberCount > 0) {
        text += "  合計 " +
                GroupedDecimal(FormatStatisticsNumber(figures.sum, decimalSeparator), group) +
                "  平均 " +
                GroupedDecimal(FormatStatisticsNumber(figures.average, decimalSeparator), group);
    }
    return text;
}

}  // namespace

std::string SelectionStatusText(const TableGrid& grid, std::string_view decimalSeparator) {
    const std::atomic<bool> running{false};
    return MakeSelectionStatusJob(grid, std::string(decimalSeparator))(running);
}

SelectionStatusJob MakeSelectionStatusJob(const TableGrid& grid, std::string decimalSeparator) {
    return [&grid, range = SelectedRange(grid),
            decimalSeparator = std::move(decimalSeparator)](const std::atomic<bool>& cancelled) {
        return SelectionText(grid, range, decimalSeparator, cancelled);
    };
}

}  // namespace qv
