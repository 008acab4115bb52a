#pragma once

#include <atomic>
#include <cstdint>

#include "table/table_grid.h"

namespace qv {

// What the status bar says of a selected range of cells.
struct SelectionFigures {
    int64_t cellCount = 0;    // cells in the range, empty ones included
    int64_t dataCount = 0;    // cells that are not empty
    int64_t numberCount = 0;  // of those, the cells read as numbers
    double sum = 0.0;
    double average = 0.0;   // sum / numberCount; 0 when there is no number
    bool overflow = false;  // a number or the sum left the range of double: sum and average
                            // mean nothing
};

// The figures of the cells of columns [colBegin, colEnd) and rows [rowBegin, rowEnd), read as the
// column statistics read a column (ReadCellNumber): column by column, each from its first row to
// its last, so that for one column of data rows they are the statistics' own numbers. Negative
// indexes are taken as 0; an empty range gives zeros. Never-written columns and runs of empty
// cells cost next to nothing. When `cancelled` is given and becomes true, stops within a few
// thousand cells; the figures then mean nothing.
SelectionFigures CalcSelectionFigures(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                                      int32_t rowBegin, int32_t rowEnd,
                                      const std::atomic<bool>* cancelled = nullptr);

}  // namespace qv
