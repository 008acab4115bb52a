#include "app/status_texts.h"

#include <algorithm>
#include <cstdlib>

#include "tools/number_format.h"
#include "tools/selection_figures.h"

namespace qv {

std::string GroupedNumber(int64_t value) {
    const std::string digits = std::to_string(std::llabs(value));
    std::string out = value < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

std::string PositionStatusText(const TableGrid& grid) {
    return "行 " + GroupedNumber(grid.Row()) + " / " +
           GroupedNumber(std::max(0, grid.RowCount() - 1)) + "  列 " + GroupedNumber(grid.Col());
}

CellRange SelectedRange(const TableGrid& grid) {
    const GridCell a = grid.Current();
    const GridCell b = grid.Anchor();
    return {{std::min(a.col, b.col), std::min(a.row, b.row)},
            {std::max(a.col, b.col), std::max(a.row, b.row)}};
}

std::string SelectionStatusText(const TableGrid& grid, std::string_view decimalSeparator) {
    const CellRange range = SelectedRange(grid);
    if (range.first == range.last) {
        return {};
    }
    const SelectionFigures figures = CalcSelectionFigures(grid, range.first.col, range.last.col + 1,
                                                          range.first.row, range.last.row + 1);
    std::string text =
        "個数 " + GroupedNumber(figures.cellCount) + "  数値 " + GroupedNumber(figures.numberCount);
    if (figures.overflow) {
        text += "  合計 (桁あふれ)";
    } else if (figures.numberCount > 0) {
        text += "  合計 " + FormatStatisticsNumber(figures.sum, decimalSeparator) + "  平均 " +
                FormatStatisticsNumber(figures.average, decimalSeparator);
    }
    return text;
}

}  // namespace qv
