#include "table/table_file_writer.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/line_writer.h"
#include "table/table_file_format.h"

namespace qv {

namespace {

// Rows whose texts are gathered column by column before they are written row by row; a column
// is walked once per block rather than looked up once per cell.
constexpr int32_t kRowsPerBlock = 4096;
// Tables wider than this (a hand-made file can ask for millions of columns) are written cell
// by cell, so that the gathered texts never outgrow the file written.
constexpr int32_t kMaxGatheredColumns = 4096;

void WriteHeader(LineWriter& out, const TableGrid& grid, const std::string& title,
                 const WindowGeometry& window) {
    out.Line(kTableFileMark);
    out.Line(kTableFileVersion);
    out.Number(window.left);
    out.Number(window.top);
    out.Number(window.width);
    out.Number(window.height);
    out.Line(kTableFileSeparator);
    out.Line(title);
    out.Number(grid.ColCount());
    out.Number(grid.RowCount());
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        out.Number(grid.ColWidth(col));
    }
    out.Line(kTableFileSeparator);
}

void WriteCellsOneByOne(LineWriter& out, const TableGrid& grid) {
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            out.Line(grid.Cell(col, row));
        }
    }
}

void WriteCellsByBlocks(LineWriter& out, const TableGrid& grid) {
    const int32_t dataCols = grid.ColCount() - 1;
    std::vector<std::vector<std::string_view>> block(static_cast<std::size_t>(dataCols));
    for (int32_t rowBegin = 0; rowBegin < grid.RowCount(); rowBegin += kRowsPerBlock) {
        const int32_t rowEnd = std::min(grid.RowCount(), rowBegin + kRowsPerBlock);
        for (int32_t k = 0; k < dataCols; ++k) {
            std::vector<std::string_view>& texts = block[static_cast<std::size_t>(k)];
            texts.clear();
            grid.VisitColumn(k + 1, rowBegin, rowEnd,
                             [&texts](std::string_view text) { texts.push_back(text); });
        }
        for (int32_t j = 0; j < rowEnd - rowBegin; ++j) {
            for (const std::vector<std::string_view>& texts : block) {
                out.Line(texts[static_cast<std::size_t>(j)]);
            }
        }
    }
}

void WriteCells(LineWriter& out, const TableGrid& grid) {
    if (grid.ColCount() <= 1) {
        return;  // column 0 only: no cells are stored
    }
    if (grid.ColCount() - 1 > kMaxGatheredColumns) {
        WriteCellsOneByOne(out, grid);
    } else {
        WriteCellsByBlocks(out, grid);
    }
}

}  // namespace

std::string BuildTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window) {
    LineWriter out;
    WriteHeader(out, grid, title, window);
    WriteCells(out, grid);
    return out.Take();
}

}  // namespace qv
