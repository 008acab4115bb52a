#include "tools/selection_figures.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/statistics_number.h"

namespace qv {

SelectionFigures CalcSelectionFigures(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                                      int32_t rowBegin, int32_t rowEnd,
                                      const std::atomic<bool>* cancelled) {
    colBegin = std::max(colBegin, 0);
    rowBegin = std::max(rowBegin, 0);
    SelectionFigures figures;
    if (colBegin >= colEnd || rowBegin >= rowEnd) {
        return figures;
    }
    figures.cellCount = int64_t{colEnd - colBegin} * (rowEnd - rowBegin);
    std::string buffer;
    // Rows of a column read between two looks at whether the figures are still wanted.
    constexpr int32_t kRowsPerCancelCheck = 16384;
    const auto add = [&](int32_t, CellHandle h) {
        ++figures.dataCount;
        double value = 0.0;
        switch (ReadCellNumber(cell_handle::Text(h), buffer, value)) {
            case NumberReading::NotANumber:
                return;
            case NumberReading::OutOfRange:
                figures.overflow = true;
                return;
            case NumberReading::Number:
                break;
        }
        ++figures.numberCount;
        figures.sum += value;
    };
    for (int32_t col : grid.StoredColumnNumbers(colBegin, colEnd)) {
        for (int32_t begin = rowBegin; begin < rowEnd; begin += kRowsPerCancelCheck) {
            if (cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) {
                return figures;
            }
            grid.VisitColumnTexts(col, begin, begin + std::min(kRowsPerCancelCheck, rowEnd - begin),
                                  add);
        }
    }
    if (std::isinf(figures.sum)) {
        figures.overflow = true;
    }
    if (figures.numberCount > 0 && !figures.overflow) {
        figures.average = figures.sum / static_cast<double>(figures.numberCount);
    }
    return figures;
}

}  // namespace qv
